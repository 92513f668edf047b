// The fetch the window and the report tool share, against real servers:
// the transfer type by name, passive and active mode, a port in the server
// field, a cause for each failure, and trust on first use.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "FtpTestSupport.h"
#include "FtpsTestServer.h"
#include "LogFetch.h"
#include "ProgramDir.h"
#include "ScopedSeams.h"
#include "SftpTestServer.h"
#include "fetch/KnownServers.h"
#include "text/Cp932.h"
#include "Errors.h"

namespace pomurina {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::WriteBytes;

using test::kOldCopy;

// Compressed bytes: CR LF and lone LF must come through untouched.
std::string Compressed() {
    std::string bytes = "\x1f\x8b\x08\x00\r\n\n\r";
    for (int i = 0; i < 2048; ++i) bytes += static_cast<char>(i * 13 % 256);
    return bytes;
}

bool Any(const std::vector<std::string>& lines, const std::string& prefix) {
    return !test::StartingWith(lines, prefix).empty();
}

// A disk with 101 MiB free: 1 MiB may be fetched.
class SmallDisk {
public:
    SmallDisk() {
        m_io.Replace(&FileIo::statvfs, [](const char*, struct statvfs* info) {
            *info = {};
            info->f_frsize = 1024;
            info->f_bavail = 101 * 1024;
            return 0;
        });
    }

private:
    testing::ScopedFileIo m_io;
};

// A log of 1 GiB on the server, which takes no room there (a sparse file).
void WriteHugeLog(const fs::path& path) {
    WriteBytes(path, "");
    fs::resize_file(path, std::uintmax_t{1} << 30);
}

// A data folder with materia/ and logs/, and the server's folder.
class LogFetchTest : public ::testing::Test {
protected:
    LogFetchTest() {
        fs::create_directory(root.Path() / "log");
        ftp.SetTimeLimits(std::chrono::milliseconds(5000), std::chrono::milliseconds(3000));
    }

    FetchOutcome Fetch(const FetchSettings& settings, const std::string& name,
                       const TrustDecision& decide = {}) {
        return FetchLog(ftp, settings, name, FetchPlaces{data.Path().string()}, decide);
    }
    std::string Local(const std::string& name) const {
        return ReadBytes(data.Path() / "logs" / name);
    }
    std::string Known() const { return ReadBytes(data.Path() / "materia" / kKnownServersFile); }

    testing::ProgramDir data;
    test::TempDir root;
    TFtpManager ftp;
};

class FtpFetch : public LogFetchTest {
protected:
    FtpFetch() : server(root.Path(), {"alice:secret", "carol:secret:el"}) {
        settings = {"127.0.0.1:" + std::to_string(server.Port()),
                    "alice",
                    "secret",
                    "log/",
                    FetchProtocol::Ftp,
                    true};
    }
    test::FtpServer server;
    FetchSettings settings;
};

TEST_F(FtpFetch, CompressedNamesTravelInBinaryAndOthersAsTextInPassiveMode) {
    WriteBytes(root.Path() / "log" / "access_log.GZ", Compressed());
    WriteBytes(root.Path() / "log" / "access_log", "one\r\ntwo\r\n");
    const FetchOutcome binary = Fetch(settings, "access_log.GZ");
    ASSERT_TRUE(binary.Ok()) << Cp932ToUtf8(FetchFailureText(binary.report));
    EXPECT_EQ(binary.localPath, "logs/access_log.GZ");
    EXPECT_EQ(Local("access_log.GZ"), Compressed());
    EXPECT_EQ(server.Commands("TYPE "), std::vector<std::string>{"TYPE I"});
    ASSERT_TRUE(Fetch(settings, "access_log").Ok());
    EXPECT_EQ(Local("access_log"), "one\ntwo\n");
    EXPECT_EQ(server.Commands("TYPE "), (std::vector<std::string>{"TYPE I", "TYPE A"}));
    EXPECT_EQ(server.Commands("RETR "),
              (std::vector<std::string>{"RETR log/access_log.GZ", "RETR log/access_log"}));
    EXPECT_TRUE(Any(server.Commands(), "EPSV") || Any(server.Commands(), "PASV"));
    EXPECT_FALSE(Any(server.Commands(), "PORT") || Any(server.Commands(), "EPRT"));
    EXPECT_EQ(fs::current_path(), data.Path());
}

TEST_F(FtpFetch, ActiveModeHasTheServerConnectBack) {
    WriteBytes(root.Path() / "log" / "access_log", "one\n");
    settings.passive = false;
    ASSERT_TRUE(Fetch(settings, "access_log").Ok());
    EXPECT_TRUE(Any(server.Commands(), "EPRT") || Any(server.Commands(), "PORT"));
    EXPECT_FALSE(Any(server.Commands(), "EPSV") || Any(server.Commands(), "PASV"));
}

// Every failure names its cause after the message the program always gave,
// and the copy from before is left byte for byte.
TEST_F(FtpFetch, EachFailureNamesItsCauseAndKeepsTheOldCopy) {
    WriteBytes(root.Path() / "log" / "access_log", "served\n");
    struct Case {
        const char* what;
        std::string server;
        const char* account;
        const char* password;
        const char* name;
        FetchFailure failure;
    };
    const std::string here = "127.0.0.1:" + std::to_string(server.Port());
    const std::string nobody = "127.0.0.1:" + std::to_string(test::UnusedPort());
    const Case cases[] = {
        {"wrong password", here, "alice", "wrong", "access_log", FetchFailure::WrongPassword},
        {"missing file", here, "alice", "secret", "no_such_log", FetchFailure::FileNotFound},
        {"not permitted", here, "carol", "secret", "access_log", FetchFailure::PermissionDenied},
        {"nothing listening", nobody, "alice", "secret", "access_log",
         FetchFailure::ConnectionRefused},
        {"unknown host", "no-such-host.invalid", "alice", "secret", "access_log",
         FetchFailure::HostNotFound},
        {"no server", "", "alice", "secret", "access_log", FetchFailure::BadServer},
        {"a bad port", "127.0.0.1:99999", "alice", "secret", "access_log", FetchFailure::BadServer},
        {"a line end", here, "alice", "secret\r\nDELE x", "access_log", FetchFailure::LineEnd},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteBytes(data.Path() / "logs" / c.name, kOldCopy);
        FetchSettings s = settings;
        s.server = c.server;
        s.account = c.account;
        s.password = c.password;
        const FetchOutcome outcome = Fetch(s, c.name);
        EXPECT_FALSE(outcome.Ok());
        EXPECT_EQ(outcome.report.failure, c.failure);
        EXPECT_TRUE(FetchFailureText(outcome.report).starts_with(DownloadFailureText() + "\r"));
        EXPECT_EQ(Local(c.name), kOldCopy);
    }
    EXPECT_TRUE(server.Commands("DELE").empty());
    EXPECT_EQ(test::Names(data.Path() / "logs"),
              (std::vector<std::string>{"access_log", "no_such_log"}));
}

// The directory names a folder with or without its final slash; "~" is the
// login directory.
TEST_F(FtpFetch, ADirectoryWithoutItsSlashStillNamesTheFolder) {
    WriteBytes(root.Path() / "log" / "access_log", "served\n");
    for (const char* directory : {"log", "/log", "~/log"}) {
        settings.directory = directory;
        const FetchOutcome outcome = Fetch(settings, "access_log");
        EXPECT_TRUE(outcome.Ok()) << directory << Cp932ToUtf8(FetchFailureText(outcome.report));
        EXPECT_EQ(Local("access_log"), "served\n");
    }
    EXPECT_EQ(server.Commands("RETR "),
              (std::vector<std::string>{"RETR log/access_log", "RETR /log/access_log",
                                        "RETR log/access_log"}));
}

// A log larger than the disk can take is stopped at the limit, and the old
// copy stays.
TEST_F(FtpFetch, AHugeLogStopsAtTheLimitAndKeepsTheOldCopy) {
    WriteHugeLog(root.Path() / "log" / "access_log");
    WriteBytes(data.Path() / "logs" / "access_log", kOldCopy);
    const SmallDisk disk;
    for (const bool passive : {true, false}) {
        settings.passive = passive;
        const FetchOutcome huge = Fetch(settings, "access_log");
        EXPECT_EQ(huge.report.failure, FetchFailure::TooLarge);
        const std::string message = Cp932ToUtf8(FetchFailureText(huge.report));
        EXPECT_NE(message.find("上限の 1048576 バイトを超えた"), std::string::npos) << message;
        EXPECT_EQ(Local("access_log"), kOldCopy);
        EXPECT_EQ(test::Names(data.Path() / "logs"), std::vector<std::string>{"access_log"});
    }
}

// The name becomes the copy's name in logs/: one that leads elsewhere is
// refused before any connection.
TEST_F(FtpFetch, ANameThatWouldLeaveLogsIsRefusedBeforeConnecting) {
    for (const char* name : {"", "..", "../materia/DomeinList.dat", "a/b"})
        EXPECT_THROW(Fetch(settings, name), Error) << name;
    EXPECT_TRUE(server.Commands().empty());
}

class SftpFetch : public LogFetchTest {
protected:
    SftpFetch() : server(root.Path(), {"alice:secret"}, keys.Path() / "host_key") {
        WriteBytes(root.Path() / "log" / "access_log", "served\r\n");
        settings = {"127.0.0.1:" + std::to_string(server.Port()),
                    "alice",
                    "secret",
                    "/log/",
                    FetchProtocol::Sftp,
                    false};
        WriteBytes(data.Path() / "logs" / "access_log", kOldCopy);
    }
    // Answers the trust question with answer, keeping what it was asked.
    TrustDecision Answer(bool answer) {
        return [this, answer](const FetchReport& report) {
            asked.push_back(report);
            return answer;
        };
    }
    test::TempDir keys;
    test::SftpServer server;
    FetchSettings settings;
    std::vector<FetchReport> asked;
};

TEST_F(SftpFetch, AnUnknownHostKeyIsAskedAboutOnceAndRememberedWhenTrusted) {
    const FetchOutcome first = Fetch(settings, "access_log", Answer(true));
    ASSERT_TRUE(first.Ok()) << Cp932ToUtf8(FetchFailureText(first.report));
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].fingerprint, server.Fingerprint());
    EXPECT_EQ(asked[0].address, "127.0.0.1:" + std::to_string(server.Port()));
    EXPECT_EQ(asked[0].protocol, FetchProtocol::Sftp);
    EXPECT_EQ(Local("access_log"), "served\r\n");
    EXPECT_EQ(Known(), "sftp " + asked[0].address + " " + server.Fingerprint() + "\r\n");

    const FetchOutcome second = Fetch(settings, "access_log", Answer(false));
    EXPECT_TRUE(second.Ok());
    EXPECT_EQ(asked.size(), 1u);
}

TEST_F(SftpFetch, ADeclinedHostKeyIsNotRememberedAndHearsNoAccount) {
    const FetchOutcome outcome = Fetch(settings, "access_log", Answer(false));
    EXPECT_FALSE(outcome.Ok());
    EXPECT_EQ(asked.size(), 1u);
    EXPECT_EQ(outcome.report.failure, FetchFailure::HostKeyUnknown);
    EXPECT_EQ(outcome.report.fingerprint, server.Fingerprint());
    EXPECT_FALSE(fs::exists(data.Path() / "materia" / kKnownServersFile));
    EXPECT_TRUE(server.Log().empty());
    EXPECT_EQ(Local("access_log"), kOldCopy);
    // Without anyone to ask, the same.
    EXPECT_EQ(Fetch(settings, "access_log").report.failure, FetchFailure::HostKeyUnknown);
}

TEST_F(SftpFetch, AChangedHostKeyIsRefusedWithoutAsking) {
    const std::string address = "127.0.0.1:" + std::to_string(server.Port());
    const std::string before = "sftp " + address + " SHA256:" + std::string(43, 'A') + "\r\n";
    WriteBytes(data.Path() / "materia" / kKnownServersFile, before);
    const FetchOutcome outcome = Fetch(settings, "access_log", Answer(true));
    EXPECT_FALSE(outcome.Ok());
    EXPECT_TRUE(asked.empty());
    EXPECT_EQ(outcome.report.failure, FetchFailure::HostKeyChanged);
    const std::string message = Cp932ToUtf8(FetchFailureText(outcome.report));
    EXPECT_NE(message.find(server.Fingerprint()), std::string::npos) << message;
    EXPECT_NE(message.find("materia/KnownServers.dat"), std::string::npos) << message;
    EXPECT_EQ(Known(), before);
    EXPECT_TRUE(server.Log().empty());
    EXPECT_EQ(Local("access_log"), kOldCopy);
}

// A line that names the server in another form still makes it known, and a
// file not read whole may hold it: neither lets a changed key pass as new.
TEST_F(SftpFetch, AKnownServerInAnyFormOrAFileNotReadWholeIsNeverAskedAbout) {
    const std::string port = std::to_string(server.Port());
    const std::string other = "SHA256:" + std::string(43, 'A');
    const struct {
        std::string known;
        FetchFailure failure;
        const char* cause;
    } cases[] = {
        {"sftp 127.0.0.1:" + port + " " + other + " \r\n", FetchFailure::HostKeyChanged, ""},
        {"SFTP 127.0.0.1:" + port + "\t" + other + "\n\r", FetchFailure::HostKeyChanged, ""},
        {"x\r\n" + std::string(1, '\0') + "sftp 127.0.0.1:" + port + " " + other,
         FetchFailure::HostKeyChanged, ""},
        {"sftp 127.0.0.1:" + port + "\r\n", FetchFailure::HostKeyChanged, ""},
        {"sftp other.jp:22 " + other + "\r\n" + std::string(2, '\0'),
         FetchFailure::KnownServersUnread, "ゼロのバイトがあります"},
        {std::string(2000, '#') + "\r\n", FetchFailure::KnownServersUnread, "長すぎる行があります"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.known);
        WriteBytes(data.Path() / "materia" / kKnownServersFile, c.known);
        const FetchOutcome outcome = Fetch(settings, "access_log", Answer(true));
        EXPECT_EQ(outcome.report.failure, c.failure);
        const std::string message = Cp932ToUtf8(FetchFailureText(outcome.report));
        EXPECT_NE(message.find(c.cause), std::string::npos) << message;
        EXPECT_NE(message.find(server.Fingerprint()), std::string::npos) << message;
        EXPECT_EQ(Known(), c.known);
    }
    EXPECT_TRUE(asked.empty());
    EXPECT_TRUE(server.Log().empty());
    EXPECT_EQ(Local("access_log"), kOldCopy);
}

TEST_F(SftpFetch, ADirectoryWithoutItsSlashStillNamesTheFolder) {
    for (const char* directory : {"/log", "log", "~/log", "~/log/"}) {
        settings.directory = directory;
        WriteBytes(data.Path() / "logs" / "access_log", kOldCopy);
        const FetchOutcome outcome = Fetch(settings, "access_log", Answer(true));
        EXPECT_TRUE(outcome.Ok()) << directory << Cp932ToUtf8(FetchFailureText(outcome.report));
        EXPECT_EQ(Local("access_log"), "served\r\n");
    }
    EXPECT_EQ(test::StartingWith(server.Log(), "open "),
              std::vector<std::string>(4, "open /log/access_log"));
}

TEST_F(SftpFetch, AHugeLogStopsAtTheLimitAndKeepsTheOldCopy) {
    WriteHugeLog(root.Path() / "log" / "access_log");
    const SmallDisk disk;
    const FetchOutcome outcome = Fetch(settings, "access_log", Answer(true));
    EXPECT_EQ(outcome.report.failure, FetchFailure::TooLarge);
    EXPECT_EQ(Local("access_log"), kOldCopy);
    EXPECT_EQ(test::Names(data.Path() / "logs"), std::vector<std::string>{"access_log"});
}

// A trusted key that can't be remembered is an error; the fetch doesn't go on.
TEST_F(SftpFetch, AKeyThatCannotBeRememberedStopsTheFetch) {
    fs::create_directory(data.Path() / "elsewhere");
    FetchPlaces places{data.Path().string(), (data.Path() / "no_such_folder").string()};
    EXPECT_THROW(FetchLog(ftp, settings, "access_log", places, Answer(true)), FileCreateError);
    EXPECT_TRUE(server.Log().empty());
    EXPECT_EQ(Local("access_log"), kOldCopy);
}

TEST(FtpsFetch, AnUnknownCertificateIsAskedAboutThenTrustedAndFetched) {
    const testing::ProgramDir data;
    test::TempDir root;
    WriteBytes(root.Path() / "access_log.xz", Compressed());
    test::FtpsServer server(root.Path(), test::FtpsServer::Certificate::SelfSigned);
    const FetchSettings settings{
        "127.0.0.1:" + std::to_string(server.Port()), "", "", "", FetchProtocol::Ftps, true};
    TFtpManager ftp;
    std::vector<std::string> asked;
    const auto decide = [&](const FetchReport& report) {
        asked.push_back(report.fingerprint);
        // Nothing of the account before the answer.
        EXPECT_EQ(server.Commands(), std::vector<std::string>{"AUTH TLS"});
        return true;
    };
    const FetchOutcome outcome =
        FetchLog(ftp, settings, "access_log.xz", FetchPlaces{data.Path().string()}, decide);
    ASSERT_TRUE(outcome.Ok()) << Cp932ToUtf8(FetchFailureText(outcome.report));
    EXPECT_EQ(asked, std::vector<std::string>{server.Fingerprint()});
    EXPECT_EQ(ReadBytes(data.Path() / "logs" / "access_log.xz"), Compressed());
    EXPECT_EQ(server.Commands("TYPE "), std::vector<std::string>{"TYPE I"});
    EXPECT_EQ(
        ReadBytes(data.Path() / "materia" / kKnownServersFile),
        "ftps 127.0.0.1:" + std::to_string(server.Port()) + " " + server.Fingerprint() + "\r\n");
    // A directory without its final slash.
    fs::create_directory(root.Path() / "log");
    WriteBytes(root.Path() / "log" / "access_log", "in log\n");
    FetchSettings inLog = settings;
    inLog.directory = "log";
    const FetchOutcome again =
        FetchLog(ftp, inLog, "access_log", FetchPlaces{data.Path().string()}, decide);
    ASSERT_TRUE(again.Ok()) << Cp932ToUtf8(FetchFailureText(again.report));
    EXPECT_EQ(ReadBytes(data.Path() / "logs" / "access_log"), "in log\n");
}

}  // namespace
}  // namespace pomurina
