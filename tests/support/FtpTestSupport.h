#pragma once
// What the FTP tests share: a temporary directory and a real FTP server
// (pyftpdlib on 127.0.0.1) that logs every command it receives.
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "ServerProcess.h"
#include "TempDir.h"

namespace pomurina::test {

using pomurina::testing::TempDir;

// The FTP server process: serves root for the given "name:password"
// accounts (or "name:password:permissions" in pyftpdlib's letters; "elr"
// reads) at a free port; stopped at the end.
class FtpServer {
public:
    FtpServer(const std::filesystem::path& root, const std::vector<std::string>& accounts);
    FtpServer(const FtpServer&) = delete;
    FtpServer& operator=(const FtpServer&) = delete;

    int Port() const { return m_port; }
    // Every command line received so far, in order.
    std::vector<std::string> Commands() const;
    // The commands received that start with prefix (e.g. "RETR ").
    std::vector<std::string> Commands(const std::string& prefix) const;

private:
    TempDir m_work;
    std::unique_ptr<ServerProcess> m_process;
    int m_port = 0;
};

// The local copy a fetch finds, kept whole when the fetch fails.
inline const std::string kOldCopy = "old copy\r\nstays whole\r\n";

// A port on 127.0.0.1 where nothing listens.
int UnusedPort();

inline std::string ReadBytes(const std::filesystem::path& path) {
    return testing::ReadFileBytes(path);
}
inline void WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
    testing::WriteFileBytes(path, bytes);
}
// The names in dir, sorted.
std::vector<std::string> Names(const std::filesystem::path& dir);

}  // namespace pomurina::test
