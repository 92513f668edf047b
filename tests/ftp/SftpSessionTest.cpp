// SFTP against a real server (paramiko) on 127.0.0.1: the host key is judged
// before any authentication, and every failure keeps the old copy.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "FtpSession.h"
#include "FtpTestSupport.h"
#include "SftpTestServer.h"

namespace pomurina {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::WriteBytes;

using test::kOldCopy;

// Bytes as a server keeps them: CR LF, a lone CR, zero bytes, all 256 values.
std::string ServedBytes() {
    std::string bytes = "first\r\nsecond\rthird\n";
    for (int i = 0; i < 4096; ++i) bytes += static_cast<char>(i * 7 % 256);
    return bytes;
}

bool Authenticated(const std::vector<std::string>& log) {
    return !test::StartingWith(log, "auth").empty();
}

class Sftp : public ::testing::Test {
protected:
    Sftp() : server(root.Path(), {"alice:secret"}, keys.Path() / "host_key") {
        fs::create_directory(root.Path() / "log");
        WriteBytes(root.Path() / "log" / "access_log", ServedBytes());
        WriteBytes(copy, kOldCopy);
        ftp.SetProtocol(FetchProtocol::Sftp);
        ftp.SetServerName("127.0.0.1");
        ftp.SetPort(server.Port());
        ftp.SetUserName("alice");
        ftp.SetPassWord("secret");
        ftp.SetTimeLimits(std::chrono::milliseconds(5000), std::chrono::milliseconds(3000));
    }

    TransferOutcome Fetch(const std::string& remote) {
        return ftp.GetFile(remote, copy, TTransferMode::Text);
    }

    test::TempDir root;
    test::TempDir keys;
    test::TempDir local;
    test::SftpServer server;
    TFtpManager ftp;
    const fs::path copy = local.Path() / "copy";
};

TEST_F(Sftp, AnUnknownHostKeyIsRefusedBeforeAnyAuthentication) {
    const TransferOutcome outcome = Fetch("/log/access_log");
    EXPECT_EQ(outcome.failure, FetchFailure::HostKeyUnknown);
    EXPECT_EQ(outcome.fingerprint, server.Fingerprint());
    EXPECT_TRUE(server.Log().empty());
    EXPECT_EQ(ReadBytes(copy), kOldCopy);
    EXPECT_EQ(test::Names(local.Path()), std::vector<std::string>{"copy"});
}

// The file arrives as the server keeps it, whatever mode is asked for; a
// name without a leading "/" is taken from the login directory.
TEST_F(Sftp, TheTrustedHostKeyPassesAndBytesArriveAsKept) {
    ftp.SetTrustedFingerprint(server.Fingerprint());
    for (const char* remote : {"/log/access_log", "log/access_log"}) {
        const TransferOutcome outcome = Fetch(remote);
        ASSERT_EQ(outcome.failure, FetchFailure::None) << remote << " " << outcome.detail;
        EXPECT_EQ(ReadBytes(copy), ServedBytes());
    }
    EXPECT_EQ(ReadBytes(copy), ServedBytes());
    const auto log = server.Log();
    EXPECT_EQ(std::count(log.begin(), log.end(), "open /log/access_log"), 2);
    EXPECT_EQ(std::count(log.begin(), log.end(), "auth-password alice"), 2);
}

// The key another server had under this address: refused, nothing sent.
TEST_F(Sftp, AChangedHostKeyIsRefusedLoudly) {
    test::TempDir otherKeys;
    const test::SftpServer other(root.Path(), {"alice:secret"}, otherKeys.Path() / "host_key");
    ASSERT_NE(other.Fingerprint(), server.Fingerprint());
    ftp.SetTrustedFingerprint(other.Fingerprint());
    const TransferOutcome outcome = Fetch("/log/access_log");
    EXPECT_EQ(outcome.failure, FetchFailure::HostKeyChanged);
    EXPECT_EQ(outcome.fingerprint, server.Fingerprint());
    EXPECT_FALSE(Authenticated(server.Log()));
    EXPECT_EQ(ReadBytes(copy), kOldCopy);
}

TEST_F(Sftp, EachFailureNamesItsCauseAndKeepsTheOldCopy) {
    WriteBytes(root.Path() / "log" / "private_log", "not for alice\n");
    ftp.SetTrustedFingerprint(server.Fingerprint());
    struct Case {
        const char* what;
        const char* password;
        const char* remote;
        FetchFailure failure;
    };
    const Case cases[] = {
        {"wrong password", "wrong", "/log/access_log", FetchFailure::WrongPassword},
        {"missing file", "secret", "/log/no_such_log", FetchFailure::FileNotFound},
        {"file not permitted", "secret", "/log/private_log", FetchFailure::PermissionDenied},
        {"a line end in the password", "secret\r\nx", "/log/access_log", FetchFailure::LineEnd},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ftp.SetPassWord(c.password);
        EXPECT_EQ(Fetch(c.remote).failure, c.failure);
        EXPECT_EQ(ReadBytes(copy), kOldCopy);
        EXPECT_EQ(test::Names(local.Path()), std::vector<std::string>{"copy"});
    }
}

}  // namespace
}  // namespace pomurina
