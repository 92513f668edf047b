// The FTP session against a real FTP server on 127.0.0.1.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cerrno>
#include <filesystem>

#include "FtpSession.h"
#include "FtpTestSupport.h"
#include "io/FileIo.h"

namespace pomurina {
namespace {

namespace fs = std::filesystem;
using test::Names;
using test::ReadBytes;
using test::WriteBytes;

const std::string kOldCopy = "old copy\r\nstays whole\r\n";

// A served file of n bytes whose lines are numbered.
std::string LogText(std::size_t n) {
    std::string text;
    for (int line = 0; text.size() < n; ++line) text += "line " + std::to_string(line) + "\n";
    text.resize(n);
    return text;
}

class FtpSession : public ::testing::Test {
protected:
    FtpSession() : server(root.Path(), {"alice:secret", "bob:other"}) {
        fs::create_directory(root.Path() / "log");
        WriteBytes(root.Path() / "log" / "access_log", "served\n");
        ftp.SetPort(server.Port());
        ftp.SetServerName("127.0.0.1");
        ftp.SetUserName("alice");
        ftp.SetPassWord("secret");
    }

    test::TempDir root;
    test::TempDir local;
    test::FtpServer server;
    TFtpManager ftp;
};

TEST_F(FtpSession, TextModeAsksForTypeAAndBinaryForTypeI) {
    const fs::path copy = local.Path() / "copy";
    ASSERT_TRUE(ftp.GetFile("/log/access_log", copy, TTransferMode::Text));
    ASSERT_TRUE(ftp.GetFile("/log/access_log", copy, TTransferMode::Binary));
    EXPECT_EQ(server.Commands("TYPE "), (std::vector<std::string>{"TYPE A", "TYPE I"}));
    EXPECT_EQ(ReadBytes(copy), "served\n");
    // The name is asked for whole, without moving about the server's directories.
    EXPECT_EQ(server.Commands("RETR "),
              (std::vector<std::string>{"RETR /log/access_log", "RETR /log/access_log"}));
    EXPECT_TRUE(server.Commands("CWD").empty());
}

TEST_F(FtpSession, GoesDirectWhateverProxyTheEnvironmentNames) {
    const std::string proxy = "http://127.0.0.1:" + std::to_string(test::UnusedPort());
    for (const char* name : {"ftp_proxy", "FTP_PROXY", "all_proxy", "ALL_PROXY"})
        ::setenv(name, proxy.c_str(), 1);
    EXPECT_TRUE(ftp.GetFile("/log/access_log", local.Path() / "copy", TTransferMode::Text));
    for (const char* name : {"ftp_proxy", "FTP_PROXY", "all_proxy", "ALL_PROXY"}) ::unsetenv(name);
}

TEST_F(FtpSession, ReplacesAnExistingCopyAndLeavesNothingElse) {
    const std::string served = LogText(300000);
    WriteBytes(root.Path() / "big_log", served);
    WriteBytes(local.Path() / "copy", kOldCopy);
    ASSERT_TRUE(ftp.GetFile("big_log", local.Path() / "copy", TTransferMode::Binary));
    EXPECT_EQ(ReadBytes(local.Path() / "copy"), served);
    EXPECT_EQ(Names(local.Path()), std::vector<std::string>{"copy"});
}

TEST_F(FtpSession, EachCallLogsInAnewWithTheAccountCurrentAtItsStart) {
    ASSERT_TRUE(ftp.GetFile("/log/access_log", local.Path() / "a", TTransferMode::Text));
    ftp.SetUserName("bob");
    ftp.SetPassWord("other");
    ASSERT_TRUE(ftp.GetFile("/log/access_log", local.Path() / "b", TTransferMode::Text));
    EXPECT_EQ(server.Commands("USER "), (std::vector<std::string>{"USER alice", "USER bob"}));
    EXPECT_EQ(server.Commands("PASS "), (std::vector<std::string>{"PASS secret", "PASS other"}));
}

// Every failure is reported, and the copy from before is left byte for byte.
TEST_F(FtpSession, FailuresReturnFalseAndKeepTheOldCopy) {
    WriteBytes(root.Path() / "drop_log", LogText(200000));
    WriteBytes(root.Path() / "stall_log", LogText(200000));
    ftp.SetTimeLimits(std::chrono::milliseconds(5000), std::chrono::milliseconds(1000));
    struct Case {
        const char* what;
        std::string server;
        int port;
        std::string password;
        std::string remote;
    };
    const int port = server.Port();
    const Case cases[] = {
        {"wrong password", "127.0.0.1", port, "wrong", "/log/access_log"},
        {"missing remote file", "127.0.0.1", port, "secret", "/log/no_such_log"},
        {"server not running", "127.0.0.1", test::UnusedPort(), "secret", "/log/access_log"},
        {"no server name", "", port, "secret", "/log/access_log"},
        {"a directory asked for", "127.0.0.1", port, "secret", "/log/"},
        {"data connection dropped halfway", "127.0.0.1", port, "secret", "drop_log"},
        {"transfer stalled halfway", "127.0.0.1", port, "secret", "stall_log"},
        {"a line end in the name", "127.0.0.1", port, "secret", "/log/access_log\r\nDELE x"},
        {"a line end in the password", "127.0.0.1", port, "secret\r\nDELE x", "/log/access_log"},
    };
    const fs::path copy = local.Path() / "copy";
    WriteBytes(copy, kOldCopy);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ftp.SetServerName(c.server);
        ftp.SetPort(c.port);
        ftp.SetPassWord(c.password);
        EXPECT_FALSE(ftp.GetFile(c.remote, copy, TTransferMode::Text));
        EXPECT_EQ(ReadBytes(copy), kOldCopy);
        EXPECT_EQ(Names(local.Path()), std::vector<std::string>{"copy"});
    }
    EXPECT_TRUE(server.Commands("DELE").empty());
}

TEST_F(FtpSession, AFailedLocalWriteKeepsTheOldCopy) {
    WriteBytes(root.Path() / "big_log", LogText(300000));
    const fs::path copy = local.Path() / "copy";
    WriteBytes(copy, kOldCopy);
    FileIo& io = CurrentFileIo();
    const FileIo saved = io;
    io.write = [](int, const void*, size_t) -> ssize_t {
        errno = ENOSPC;
        return -1;
    };
    const bool ok = ftp.GetFile("big_log", copy, TTransferMode::Binary);
    io = saved;
    EXPECT_FALSE(ok);
    EXPECT_EQ(ReadBytes(copy), kOldCopy);
    EXPECT_EQ(Names(local.Path()), std::vector<std::string>{"copy"});
}

}  // namespace
}  // namespace pomurina
