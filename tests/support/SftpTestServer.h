#pragma once
// A real SFTP server for the tests (sftp_server.py on Debian's
// python3-paramiko): serves a folder as "/" to fixed accounts on 127.0.0.1,
// with a host key of its own, and logs every authentication and every file
// opened.
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "ServerProcess.h"
#include "TempDir.h"

namespace pomurina::test {

class SftpServer {
public:
    // accounts as "name:password"; hostKey is made there when absent, so
    // two servers given one file share a key.
    SftpServer(const std::filesystem::path& root, const std::vector<std::string>& accounts,
               const std::filesystem::path& hostKey);

    int Port() const { return m_port; }
    // The host key's SHA-256 fingerprint as OpenSSH prints it (the server's own reckoning).
    const std::string& Fingerprint() const { return m_fingerprint; }
    // "auth-list NAME", "auth-password NAME", "open /PATH", ... in order.
    std::vector<std::string> Log() const;

private:
    testing::TempDir m_work;
    std::unique_ptr<ServerProcess> m_process;
    int m_port = 0;
    std::string m_fingerprint;
};

}  // namespace pomurina::test
