// The FTP session against a real FTP server on 127.0.0.1.
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <thread>

#include "FtpSession.h"
#include "FtpTestSupport.h"
#include "ScopedSeams.h"
#include "io/FileIo.h"
#include "io/FileReplacement.h"
#include "Errors.h"

namespace pomurina {
namespace {

namespace fs = std::filesystem;
using test::Names;
using test::ReadBytes;
using test::WriteBytes;

using test::kOldCopy;

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
    ASSERT_TRUE(ftp.GetFile("/log/access_log", copy, TTransferMode::Text).Ok());
    ASSERT_TRUE(ftp.GetFile("/log/access_log", copy, TTransferMode::Binary).Ok());
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
    EXPECT_TRUE(ftp.GetFile("/log/access_log", local.Path() / "copy", TTransferMode::Text).Ok());
    for (const char* name : {"ftp_proxy", "FTP_PROXY", "all_proxy", "ALL_PROXY"}) ::unsetenv(name);
}

TEST_F(FtpSession, ReplacesAnExistingCopyAndLeavesNothingElse) {
    const std::string served = LogText(300000);
    WriteBytes(root.Path() / "big_log", served);
    WriteBytes(local.Path() / "copy", kOldCopy);
    ASSERT_TRUE(ftp.GetFile("big_log", local.Path() / "copy", TTransferMode::Binary).Ok());
    EXPECT_EQ(ReadBytes(local.Path() / "copy"), served);
    EXPECT_EQ(Names(local.Path()), std::vector<std::string>{"copy"});
}

TEST_F(FtpSession, EachCallLogsInAnewWithTheAccountCurrentAtItsStart) {
    ASSERT_TRUE(ftp.GetFile("/log/access_log", local.Path() / "a", TTransferMode::Text).Ok());
    ftp.SetUserName("bob");
    ftp.SetPassWord("other");
    ASSERT_TRUE(ftp.GetFile("/log/access_log", local.Path() / "b", TTransferMode::Text).Ok());
    EXPECT_EQ(server.Commands("USER "), (std::vector<std::string>{"USER alice", "USER bob"}));
    EXPECT_EQ(server.Commands("PASS "), (std::vector<std::string>{"PASS secret", "PASS other"}));
}

// Every failure is reported, and the copy from before is left byte for byte.
TEST_F(FtpSession, FailuresAreReturnedAndKeepTheOldCopy) {
    WriteBytes(root.Path() / "drop_log", LogText(200000));
    WriteBytes(root.Path() / "stall_log", LogText(200000));
    ftp.SetTimeLimits(std::chrono::milliseconds(5000), std::chrono::milliseconds(1000));
    struct Case {
        const char* what;
        std::string server;
        int port;
        std::string password;
        std::string remote;
        FetchFailure failure;
    };
    const int port = server.Port();
    const Case cases[] = {
        {"wrong password", "127.0.0.1", port, "wrong", "/log/access_log",
         FetchFailure::WrongPassword},
        {"missing remote file", "127.0.0.1", port, "secret", "/log/no_such_log",
         FetchFailure::FileNotFound},
        {"server not running", "127.0.0.1", test::UnusedPort(), "secret", "/log/access_log",
         FetchFailure::ConnectionRefused},
        {"no server name", "", port, "secret", "/log/access_log", FetchFailure::BadServer},
        {"a directory asked for", "127.0.0.1", port, "secret", "/log/", FetchFailure::FileNotFound},
        {"data connection dropped halfway", "127.0.0.1", port, "secret", "drop_log",
         FetchFailure::Other},
        {"transfer stalled halfway", "127.0.0.1", port, "secret", "stall_log",
         FetchFailure::TimedOut},
        {"a line end in the name", "127.0.0.1", port, "secret", "/log/access_log\r\nDELE x",
         FetchFailure::LineEnd},
        {"a line end in the password", "127.0.0.1", port, "secret\r\nDELE x", "/log/access_log",
         FetchFailure::LineEnd},
    };
    const fs::path copy = local.Path() / "copy";
    WriteBytes(copy, kOldCopy);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ftp.SetServerName(c.server);
        ftp.SetPort(c.port);
        ftp.SetPassWord(c.password);
        const TransferOutcome outcome = ftp.GetFile(c.remote, copy, TTransferMode::Text);
        EXPECT_FALSE(outcome.Ok());
        // A dropped data connection may also end as silence, by the time it is noticed.
        const bool droppedInSilence =
            c.failure == FetchFailure::Other && outcome.failure == FetchFailure::TimedOut;
        if (!droppedInSilence) {
            EXPECT_EQ(outcome.failure, c.failure) << outcome.detail;
        }
        EXPECT_EQ(ReadBytes(copy), kOldCopy);
        EXPECT_EQ(Names(local.Path()), std::vector<std::string>{"copy"});
    }
    EXPECT_TRUE(server.Commands("DELE").empty());
}

// A server that drips a byte every 0.1 s would hold the window for ever:
// below the speed floor over the stall limit, the transfer fails.
TEST_F(FtpSession, ATransferBelowTheSpeedFloorFailsAndKeepsTheOldCopy) {
    WriteBytes(root.Path() / "drip_log", LogText(40));  // the second half dripped
    const fs::path copy = local.Path() / "copy";
    WriteBytes(copy, kOldCopy);
    ftp.SetTimeLimits(std::chrono::milliseconds(5000), std::chrono::milliseconds(1000));
    EXPECT_EQ(ftp.GetFile("drip_log", copy, TTransferMode::Binary).failure, FetchFailure::TimedOut);
    EXPECT_EQ(ReadBytes(copy), kOldCopy);
    EXPECT_EQ(Names(local.Path()), std::vector<std::string>{"copy"});
    // The same drip is fast enough for a lower floor.
    ftp.SetSpeedFloor(4);
    EXPECT_TRUE(ftp.GetFile("drip_log", copy, TTransferMode::Binary).Ok());
    EXPECT_EQ(ReadBytes(copy), LogText(40));
}

TEST_F(FtpSession, ANewCopyFollowsTheUmaskAndAReplacedOneKeepsItsMode) {
    const mode_t previous = ::umask(027);
    const fs::path copy = local.Path() / "copy";
    const bool first = ftp.GetFile("/log/access_log", copy, TTransferMode::Text).Ok();
    const mode_t created =
        fs::exists(copy) ? static_cast<mode_t>(fs::status(copy).permissions()) : 0;
    fs::permissions(copy, fs::perms::owner_read | fs::perms::owner_write);
    const bool second = ftp.GetFile("/log/access_log", copy, TTransferMode::Text).Ok();
    ::umask(previous);
    EXPECT_TRUE(first && second);
    EXPECT_EQ(created, 0640u);
    EXPECT_EQ(fs::status(copy).permissions(), fs::perms::owner_read | fs::perms::owner_write);
}

// The temporary file's name doesn't grow with the copy's, and what a killed
// download leaves is removed by the next one into the same folder.
TEST_F(FtpSession, LongestNamesArriveAndAKilledDownloadLeavesNothingBehind) {
    const std::string longest(255, 'n');
    WriteBytes(root.Path() / longest, "served\n");
    ASSERT_TRUE(ftp.GetFile(longest, local.Path() / longest, TTransferMode::Binary).Ok());
    EXPECT_EQ(ReadBytes(local.Path() / longest), "served\n");

    WriteBytes(root.Path() / "stall_log", LogText(200000));
    const pid_t child = ::fork();
    if (child == 0) {
        ftp.GetFile("stall_log", local.Path() / "copy", TTransferMode::Binary);
        ::_exit(0);
    }
    // Killed once half the file is in its temporary file.
    bool started = false;
    for (int wait = 0; wait < 500 && !started; ++wait) {
        for (const std::string& name : Names(local.Path()))
            started = started || (IsReplacementTemporaryName(name) &&
                                  fs::file_size(local.Path() / name) >= 100000);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    ASSERT_TRUE(started);
    EXPECT_EQ(Names(local.Path()).size(), 2u);

    ASSERT_TRUE(ftp.GetFile("/log/access_log", local.Path() / "copy", TTransferMode::Text).Ok());
    EXPECT_EQ(Names(local.Path()), (std::vector<std::string>{"copy", longest}));
}

TEST_F(FtpSession, AFailedLocalWriteKeepsTheOldCopy) {
    WriteBytes(root.Path() / "big_log", LogText(300000));
    const fs::path copy = local.Path() / "copy";
    WriteBytes(copy, kOldCopy);
    const TransferOutcome outcome = [&] {
        testing::ScopedFileIo io;
        io.Replace(&FileIo::write, [](int, const void*, size_t) -> ssize_t {
            errno = ENOSPC;
            return -1;
        });
        return ftp.GetFile("big_log", copy, TTransferMode::Binary);
    }();
    EXPECT_EQ(outcome.failure, FetchFailure::LocalWrite);
    EXPECT_EQ(outcome.detail, SystemErrorText(ENOSPC));
    EXPECT_EQ(ReadBytes(copy), kOldCopy);
    EXPECT_EQ(Names(local.Path()), std::vector<std::string>{"copy"});
}

}  // namespace
}  // namespace pomurina
