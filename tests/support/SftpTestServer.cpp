#include "SftpTestServer.h"

#include "FtpTestSupport.h"

namespace pomurina::test {

namespace fs = std::filesystem;

SftpServer::SftpServer(const fs::path& root, const std::vector<std::string>& accounts,
                       const fs::path& hostKey) {
    const fs::path dir = m_work.Path();
    std::vector<std::string> args = {"/usr/bin/python3",
                                     POMURINA_SFTP_SERVER_SCRIPT,
                                     "--root",
                                     root.string(),
                                     "--host-key",
                                     hostKey.string(),
                                     "--port-file",
                                     (dir / "port").string(),
                                     "--fingerprint-file",
                                     (dir / "fingerprint").string(),
                                     "--log",
                                     (dir / "log").string()};
    for (const auto& account : accounts) {
        args.push_back("--user");
        args.push_back(account);
    }
    m_process = std::make_unique<ServerProcess>(
        args, dir / "output", [&] { return fs::exists(dir / "port"); },
        "the SFTP server (python3-paramiko)");
    m_port = std::stoi(ReadBytes(dir / "port"));
    m_fingerprint = ReadBytes(dir / "fingerprint");
}

std::vector<std::string> SftpServer::Log() const {
    return LinesOfFile(m_work.Path() / "log");
}

}  // namespace pomurina::test
