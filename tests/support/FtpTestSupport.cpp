#include "FtpTestSupport.h"

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>

namespace pomurina::test {

namespace fs = std::filesystem;

FtpServer::FtpServer(const fs::path& root, const std::vector<std::string>& accounts) {
    const fs::path portFile = m_work.Path() / "port";
    std::vector<std::string> args = {"/usr/bin/python3",
                                     POMURINA_FTP_SERVER_SCRIPT,
                                     "--root",
                                     root.string(),
                                     "--port-file",
                                     portFile.string(),
                                     "--log",
                                     (m_work.Path() / "commands").string()};
    for (const auto& account : accounts) {
        args.push_back("--user");
        args.push_back(account);
    }
    // The server writes its port once it listens.
    m_process = std::make_unique<ServerProcess>(
        args, m_work.Path() / "output", [&] { return fs::exists(portFile); },
        "the FTP server (python3-pyftpdlib)");
    m_port = std::stoi(ReadBytes(portFile));
}

std::vector<std::string> FtpServer::Commands() const {
    return LinesOfFile(m_work.Path() / "commands");
}

std::vector<std::string> FtpServer::Commands(const std::string& prefix) const {
    return StartingWith(Commands(), prefix);
}

int UnusedPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(fd);
    return ntohs(address.sin_port);
}

std::vector<std::string> Names(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace pomurina::test
