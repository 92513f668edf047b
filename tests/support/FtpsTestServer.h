#pragma once
// A real FTPS server for the tests: Debian's vsftpd on 127.0.0.1, run as the
// launching user with a configuration of its own, explicit TLS required for
// the anonymous login and every data connection, serving a folder as the
// login directory; its certificate is made at start with openssl.
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "ServerProcess.h"
#include "TempDir.h"

namespace pomurina::test {

class FtpsServer {
public:
    enum class Certificate {
        SelfSigned,         // for "localhost": nobody vouches for it
        FromTestAuthority,  // for 127.0.0.1, signed by AuthorityFile()
    };
    FtpsServer(const std::filesystem::path& root, Certificate certificate);

    int Port() const { return m_port; }
    // The certificate's SHA-256 fingerprint as openssl prints it.
    const std::string& Fingerprint() const { return m_fingerprint; }
    // The test authority's certificate (FromTestAuthority).
    std::filesystem::path AuthorityFile() const { return m_work.Path() / "ca.pem"; }
    // Every command received so far, in order (the password hidden by vsftpd).
    std::vector<std::string> Commands() const;
    // The commands received that start with prefix.
    std::vector<std::string> Commands(const std::string& prefix) const;

private:
    void MakeCertificate(Certificate certificate);

    testing::TempDir m_work;
    std::unique_ptr<ServerProcess> m_process;
    int m_port = 0;
    std::string m_fingerprint;
};

}  // namespace pomurina::test
