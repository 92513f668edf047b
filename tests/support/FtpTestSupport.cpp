#include "FtpTestSupport.h"

#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

extern char** environ;

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
    std::vector<char*> argv;
    for (auto& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    if (posix_spawn(&m_pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0)
        throw std::runtime_error("cannot start the FTP server");

    // The server writes its port once it listens.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!fs::exists(portFile)) {
        int status = 0;
        if (::waitpid(m_pid, &status, WNOHANG) == m_pid) {
            m_pid = -1;
            throw std::runtime_error(
                "the FTP server ended at start (is python3-pyftpdlib installed?)");
        }
        if (std::chrono::steady_clock::now() > deadline)
            throw std::runtime_error("the FTP server did not start");
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    m_port = std::stoi(ReadBytes(portFile));
}

FtpServer::~FtpServer() {
    if (m_pid <= 0) return;
    ::kill(m_pid, SIGTERM);
    int status = 0;
    ::waitpid(m_pid, &status, 0);
}

std::vector<std::string> FtpServer::Commands() const {
    std::vector<std::string> lines;
    std::ifstream in(m_work.Path() / "commands", std::ios::binary);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

std::vector<std::string> FtpServer::Commands(const std::string& prefix) const {
    std::vector<std::string> lines = Commands();
    std::erase_if(lines, [&](const std::string& line) { return !line.starts_with(prefix); });
    return lines;
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
