// FTPS (explicit TLS) against a real vsftpd on 127.0.0.1: the certificate is
// judged inside the handshake, before the account is sent.
#include <curl/curl.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>

#include "FtpSession.h"
#include "FtpTestSupport.h"
#include "FtpsTestServer.h"

namespace pomurina {
namespace {

namespace fs = std::filesystem;
using test::FtpsServer;
using test::ReadBytes;
using test::WriteBytes;

using test::kOldCopy;
const std::string kServed = "line one\nline two\n";

class Ftps : public ::testing::Test {
protected:
    explicit Ftps(FtpsServer::Certificate certificate = FtpsServer::Certificate::SelfSigned)
        : server(root.Path(), certificate) {
        fs::create_directory(root.Path() / "log");
        WriteBytes(root.Path() / "log" / "access_log", kServed);
        WriteBytes(copy, kOldCopy);
        ftp.SetProtocol(FetchProtocol::Ftps);
        ftp.SetPassive(true);
        ftp.SetServerName("127.0.0.1");
        ftp.SetPort(server.Port());
        ftp.SetTimeLimits(std::chrono::milliseconds(5000), std::chrono::milliseconds(3000));
    }

    TransferOutcome Fetch() { return ftp.GetFile("log/access_log", copy, TTransferMode::Text); }

    test::TempDir root;
    test::TempDir local;
    FtpsServer server;
    TFtpManager ftp;
    const fs::path copy = local.Path() / "copy";
};

TEST_F(Ftps, AnUnknownCertificateIsRefusedBeforeTheAccountIsSent) {
    const TransferOutcome outcome = Fetch();
    EXPECT_EQ(outcome.failure, FetchFailure::CertificateUnknown);
    EXPECT_EQ(outcome.fingerprint, server.Fingerprint());
    EXPECT_EQ(server.Commands(), std::vector<std::string>{"AUTH TLS"});
    EXPECT_EQ(ReadBytes(copy), kOldCopy);
    EXPECT_EQ(test::Names(local.Path()), std::vector<std::string>{"copy"});
}

TEST_F(Ftps, TheTrustedCertificatePassesAndEveryConnectionIsPrivate) {
    ftp.SetTrustedFingerprint(server.Fingerprint());
    const TransferOutcome trusted = Fetch();
    ASSERT_EQ(trusted.failure, FetchFailure::None) << trusted.detail;
    EXPECT_EQ(ReadBytes(copy), kServed);
    const auto commands = server.Commands();
    ASSERT_GE(commands.size(), 3u);
    EXPECT_EQ(commands[0], "AUTH TLS");
    EXPECT_EQ(commands[1], "USER anonymous");
    EXPECT_EQ(server.Commands("PROT "), std::vector<std::string>{"PROT P"});
    EXPECT_EQ(server.Commands("TYPE "), std::vector<std::string>{"TYPE A"});
    EXPECT_EQ(server.Commands("RETR "), std::vector<std::string>{"RETR log/access_log"});
    // The fingerprint may be given in OpenSSL's lower case too.
    std::string lower = server.Fingerprint();
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    ftp.SetTrustedFingerprint(lower);
    EXPECT_TRUE(ftp.GetFile("log/access_log", copy, TTransferMode::Binary).Ok());
}

TEST_F(Ftps, AChangedCertificateIsRefusedLoudly) {
    std::string other = server.Fingerprint();
    other[0] = other[0] == 'A' ? 'B' : 'A';
    ftp.SetTrustedFingerprint(other);
    const TransferOutcome outcome = Fetch();
    EXPECT_EQ(outcome.failure, FetchFailure::CertificateChanged);
    EXPECT_EQ(outcome.fingerprint, server.Fingerprint());
    EXPECT_TRUE(server.Commands("USER").empty());
    EXPECT_TRUE(server.Commands("PASS").empty());
    EXPECT_EQ(ReadBytes(copy), kOldCopy);
}

// libcurl 7.87 to 7.88 hang on an active TLS data connection; there the
// choice is refused before any connection, elsewhere it works.
TEST_F(Ftps, ActiveModeWorksOrIsRefusedBeforeConnecting) {
    const unsigned version = curl_version_info(CURLVERSION_NOW)->version_num;
    const bool broken = version >= 0x075700 && version < 0x080000;
    ftp.SetPassive(false);
    ftp.SetTrustedFingerprint(server.Fingerprint());
    const TransferOutcome outcome = Fetch();
    EXPECT_EQ(outcome.Ok(), !broken);
    if (broken) {
        EXPECT_EQ(outcome.failure, FetchFailure::ActiveFtpsUnsupported);
        EXPECT_EQ(outcome.detail, curl_version_info(CURLVERSION_NOW)->version);
        EXPECT_TRUE(server.Commands().empty());
        EXPECT_EQ(ReadBytes(copy), kOldCopy);
    } else {
        EXPECT_EQ(ReadBytes(copy), kServed);
    }
}

// A certificate that the system's store vouches for, with the server's name
// in it, passes without being trusted by hand; the same certificate reached
// by another name does not.
class FtpsVouched : public Ftps {
protected:
    FtpsVouched() : Ftps(FtpsServer::Certificate::FromTestAuthority) {
        ::setenv("SSL_CERT_FILE", server.AuthorityFile().c_str(), 1);
    }
    ~FtpsVouched() override { ::unsetenv("SSL_CERT_FILE"); }
};

TEST_F(FtpsVouched, ACertificateTheStoreVouchesForPassesUnderItsOwnNameOnly) {
    const TransferOutcome vouched = Fetch();
    ASSERT_EQ(vouched.failure, FetchFailure::None) << vouched.detail;
    EXPECT_EQ(ReadBytes(copy), kServed);
    EXPECT_EQ(vouched.fingerprint, server.Fingerprint());

    ftp.SetServerName("localhost");
    EXPECT_EQ(Fetch().failure, FetchFailure::CertificateUnknown);
    ::unsetenv("SSL_CERT_FILE");
    ftp.SetServerName("127.0.0.1");
    EXPECT_EQ(Fetch().failure, FetchFailure::CertificateUnknown);
    EXPECT_EQ(server.Commands("USER ").size(), 1u);
}

// A plain FTP server refuses AUTH TLS: the fetch ends there.
TEST(FtpsWithoutTls, AServerWithoutTlsIsLeftBeforeTheAccountIsSent) {
    test::TempDir root;
    test::TempDir local;
    WriteBytes(root.Path() / "access_log", kServed);
    test::FtpServer server(root.Path(), {"alice:secret"});
    TFtpManager ftp;
    ftp.SetProtocol(FetchProtocol::Ftps);
    ftp.SetPassive(true);
    ftp.SetServerName("127.0.0.1");
    ftp.SetPort(server.Port());
    ftp.SetUserName("alice");
    ftp.SetPassWord("secret");
    EXPECT_EQ(ftp.GetFile("access_log", local.Path() / "copy", TTransferMode::Text).failure,
              FetchFailure::TlsNotOffered);
    EXPECT_TRUE(server.Commands("USER").empty());
    EXPECT_TRUE(server.Commands("PASS").empty());
    EXPECT_FALSE(fs::exists(local.Path() / "copy"));
}

}  // namespace
}  // namespace pomurina
