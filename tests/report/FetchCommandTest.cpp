// pomurina-report --fetch as cron runs it: a portable copy of the tool with
// its own data folder, real servers on 127.0.0.1, exit statuses and messages.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <exception>
#include <filesystem>

#include "AnalysisTestSupport.h"
#include "FtpTestSupport.h"
#include "FtpsTestServer.h"
#include "ReportToolRun.h"
#include "SftpTestServer.h"
#include "fetch/LogFileName.h"

using namespace pomurina;
using namespace pomurina::testing;
namespace fs = std::filesystem;

namespace {

const std::string kLine =
    "192.0.2.7 - - [06/Dec/2026:09:15:02 +0900] \"GET /a HTTP/1.1\" 200 1536 \"-\" \"Mozilla\"\n";
using test::kOldCopy;
const char kName[] = "access_log_20261206";
const std::string kFailure =
    "ダウンロードに失敗しました。\n接続設定、ファイル名設定を見直してください。\n";

// The tool linked into a program folder with materia/ and logs/ beside it,
// so its data folder is that folder.
class FetchCommand : public ::testing::Test {
protected:
    FetchCommand() {
        fs::create_directory(dir.Path() / "logs");
        fs::create_directory(root.Path() / "log");
        WriteFileBytes(root.Path() / "log" / kName, kLine + kLine);
        std::error_code error;
        fs::create_hard_link(POMURINA_REPORT, program, error);
        if (error) fs::copy_file(POMURINA_REPORT, program);
    }

    // Writes the settings owner-only, as the program keeps them.
    void Settings(const std::string& server, const std::string& rest) {
        WriteFileBytes(SettingsFile(), server + "\r\n" + rest);
        fs::permissions(SettingsFile(), fs::perms::owner_read | fs::perms::owner_write);
    }
    fs::path SettingsFile() const { return dir.Path() / "materia" / "FTPSetting.dat"; }
    ReportOutcome Run(const std::string& arguments) {
        return RunReportAt(program.string(), arguments, errFile.string());
    }
    std::string Err() const { return ReadFileBytes(errFile); }
    std::string Local(const std::string& name = kName) const {
        return ReadFileBytes(dir.Path() / "logs" / name);
    }
    fs::path KnownFile() const { return dir.Path() / "materia" / "KnownServers.dat"; }

    ProgramDir dir;
    TempDir root;
    TempDir scratch;
    const fs::path program = dir.Path() / "pomurina-report";
    const fs::path errFile = scratch.Path() / "err.txt";
};

class FetchOverFtp : public FetchCommand {
protected:
    FetchOverFtp() : server(root.Path(), {"alice:secret"}) {
        address = "127.0.0.1:" + std::to_string(server.Port());
        Settings(address, "alice\r\nsecret\r\nlog/\r\nftp\r\npassive\r\n");
    }
    test::FtpServer server;
    std::string address;
};

TEST_F(FetchOverFtp, FetchesWithTheStoredSettingsThenPrintsTheSummary) {
    WriteFileBytes(dir.Path() / "logs" / kName, kOldCopy);
    const ReportOutcome o = Run(std::string("--fetch ") + kName);
    EXPECT_EQ(o.status, 0) << Err();
    EXPECT_NE(o.out.find("総接続数  2"), std::string::npos) << o.out;
    EXPECT_EQ(Local(), kLine + kLine);
    EXPECT_EQ(server.Commands("RETR "), std::vector<std::string>{std::string("RETR log/") + kName});
    // Kept in the archive of the server's site too, as the FTP window does by default.
    EXPECT_TRUE(fs::exists(dir.Path() / "archive/127.0.0.1/2026/12/2026-12-06.log.zst"));
    // The dump names the copy as the window does.
    const ReportOutcome dump = Run(std::string("--dump --fetch ") + kName);
    EXPECT_EQ(dump.status, 0);
    EXPECT_NE(dump.out.find(std::string("\nfield Edit35 logs/") + kName + "\n"), std::string::npos);
}

TEST_F(FetchOverFtp, WithoutANameTodaysLogIsFetched) {
    const std::string today = DefaultLogFileName(std::time(nullptr));
    WriteFileBytes(root.Path() / "log" / today, kLine);
    const ReportOutcome o = Run("--fetch");
    EXPECT_EQ(o.status, 0) << Err();
    EXPECT_EQ(Local(today), kLine);
}

// --materia names where the settings and lists are; the copy still goes
// to the data folder's logs/.
TEST_F(FetchOverFtp, SettingsComeFromMateriaAndTheCopyGoesToLogs) {
    TempDir other;
    fs::copy(dir.Path() / "materia", other.Path(), fs::copy_options::recursive);
    fs::remove(dir.Path() / "materia" / "FTPSetting.dat");
    const ReportOutcome o =
        Run("--materia " + other.Path().string() + " --fetch " + std::string(kName));
    EXPECT_EQ(o.status, 0) << Err();
    EXPECT_EQ(Local(), kLine + kLine);
}

TEST_F(FetchOverFtp, AFailedFetchExitsWithOneKeepsTheOldCopyAndSaysWhy) {
    Settings(address, "alice\r\nwrong\r\nlog/\r\nftp\r\npassive\r\n");
    WriteFileBytes(dir.Path() / "logs" / kName, kOldCopy);
    const ReportOutcome o = Run(std::string("--fetch ") + kName);
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.out, "");
    EXPECT_EQ(Err(), kFailure + "アカウントかパスワードが違います。\n");
    EXPECT_EQ(Local(), kOldCopy);

    Settings(address, "alice\r\nsecret\r\nlog/\r\nftp\r\npassive\r\n");
    EXPECT_EQ(Run("--fetch no_such_log").status, 1);
    EXPECT_EQ(
        Err(),
        kFailure +
            "サーバーにファイル「log/no_such_log」が見つかりません。ディレクトリとファイル名を"
            "確かめてください。\n");
    fs::remove(dir.Path() / "materia" / "FTPSetting.dat");
    EXPECT_EQ(Run(std::string("--fetch ") + kName).status, 1);
    EXPECT_NE(Err().find("FTPSetting.dat\". "), std::string::npos) << Err();
}

// libcurl is loaded by the first fetch: without it (here the C++ library
// found in its place), the fetch fails and says why, and nothing else is
// touched.
TEST_F(FetchOverFtp, WithoutTheFetchLibraryTheFetchFailsAndSaysWhy) {
    WriteFileBytes(dir.Path() / "logs" / kName, kOldCopy);
    Dl_info library{};
    ASSERT_NE(::dladdr(reinterpret_cast<void*>(&std::terminate), &library), 0);
    fs::copy_file(library.dli_fname, scratch.Path() / "libcurl.so.4");
    const ReportOutcome o =
        RunReportAt(program.string(), std::string("--fetch ") + kName, errFile.string(),
                    "LD_LIBRARY_PATH=" + scratch.Path().string());
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(Err(), kFailure +
                         "サーバーとの通信に失敗しました (libcurl.so.4 "
                         "を読み込めないか、初期化できません)。\n");
    EXPECT_EQ(Local(), kOldCopy);
    EXPECT_TRUE(server.Commands("RETR ").empty());
}

// The settings hold the password: a file others may read is used, with a
// warning that says how to close it.
TEST_F(FetchOverFtp, SettingsOthersMayReadBringAWarning) {
    const std::string file = SettingsFile().string();
    const std::string warning =
        "警告: 接続設定ファイル \"" + file +
        "\" は、ほかのユーザーも読めます。パスワードが漏れないよう、chmod 600 '" + file +
        "' で持ち主だけが読めるようにしてください。\n";
    const struct {
        fs::perms mode;
        bool warned;
    } cases[] = {
        {fs::perms(0600), false}, {fs::perms(0400), false}, {fs::perms(0620), false},
        {fs::perms(0640), true},  {fs::perms(0604), true},  {fs::perms(0644), true},
    };
    for (const auto& c : cases) {
        fs::permissions(file, c.mode);
        EXPECT_EQ(Run(std::string("--fetch ") + kName).status, 0);
        EXPECT_EQ(Err(), c.warned ? warning : "") << static_cast<int>(c.mode);
    }
}

TEST_F(FetchOverFtp, BadArgumentsExitWithTwo) {
    EXPECT_EQ(Run("--trust SHA256:x a.log").status, 2);
    EXPECT_NE(Err().find("--trust goes with --fetch"), std::string::npos);
    EXPECT_EQ(Run("--fetch --decode").status, 2);
    EXPECT_EQ(Run("--fetch --trust").status, 2);
    EXPECT_EQ(Run("--fetch a b").status, 2);
    for (const char* name : {"../materia/DomeinList.dat", "a/b", ".."}) {
        EXPECT_EQ(Run(std::string("--fetch '") + name + "'").status, 2) << name;
        EXPECT_TRUE(Err().starts_with("ファイル名が正しくありません。")) << Err();
    }
    EXPECT_TRUE(server.Commands().empty());
}

class FetchOverSftp : public FetchCommand {
protected:
    FetchOverSftp() : server(root.Path(), {"alice:secret"}, keys.Path() / "host_key") {
        address = "127.0.0.1:" + std::to_string(server.Port());
        Settings(address, "alice\r\nsecret\r\n/log/\r\nsftp\r\nactive\r\n");
        WriteFileBytes(dir.Path() / "logs" / kName, kOldCopy);
    }
    bool Authenticated() const { return !test::StartingWith(server.Log(), "auth").empty(); }
    TempDir keys;
    test::SftpServer server;
    std::string address;
};

TEST_F(FetchOverSftp, AnUnknownHostKeyIsRefusedUntilTrustedByItsFingerprint) {
    const std::string fetch = std::string("--fetch ") + kName;
    EXPECT_EQ(Run(fetch).status, 1);
    EXPECT_EQ(Err(), kFailure +
                         "サーバーのホスト鍵は信頼されていません。\nSHA-256 フィンガープリント: " +
                         server.Fingerprint() +
                         "\nホストの管理者にフィンガープリントを確かめ、正しければ --trust " +
                         server.Fingerprint() + " を付けて実行すると、信頼して記憶します。\n");
    EXPECT_EQ(Run("--trust SHA256:" + std::string(43, 'A') + " " + fetch).status, 1);
    EXPECT_NE(Err().find("一致しません"), std::string::npos) << Err();
    EXPECT_FALSE(Authenticated());
    EXPECT_FALSE(fs::exists(KnownFile()));
    EXPECT_EQ(Local(), kOldCopy);

    const ReportOutcome trusted = Run("--trust " + server.Fingerprint() + " " + fetch);
    EXPECT_EQ(trusted.status, 0) << Err();
    EXPECT_NE(trusted.out.find("総接続数  2"), std::string::npos);
    EXPECT_EQ(ReadFileBytes(KnownFile()), "sftp " + address + " " + server.Fingerprint() + "\r\n");
    EXPECT_EQ(Run(fetch).status, 0) << Err();
    EXPECT_EQ(Local(), kLine + kLine);
}

// A key other than the one trusted is refused whatever --trust says: the
// user removes the old line after checking with the host.
TEST_F(FetchOverSftp, AChangedHostKeyIsRefusedEvenWithTrust) {
    const std::string before = "sftp " + address + " SHA256:" + std::string(43, 'A') + "\r\n";
    WriteFileBytes(KnownFile(), before);
    EXPECT_EQ(Run("--trust " + server.Fingerprint() + " --fetch " + kName).status, 1);
    EXPECT_NE(Err().find("以前に信頼したものと違います"), std::string::npos) << Err();
    EXPECT_NE(Err().find(server.Fingerprint()), std::string::npos);
    EXPECT_EQ(ReadFileBytes(KnownFile()), before);
    EXPECT_FALSE(Authenticated());
    EXPECT_EQ(Local(), kOldCopy);
}

TEST_F(FetchCommand, AnUntrustedCertificateIsRefusedBeforeTheLoginUntilTrusted) {
    test::FtpsServer server(root.Path(), test::FtpsServer::Certificate::SelfSigned);
    Settings("127.0.0.1:" + std::to_string(server.Port()), "\r\n\r\nlog/\r\nftps\r\npassive\r\n");
    EXPECT_EQ(Run(std::string("--fetch ") + kName).status, 1);
    EXPECT_NE(Err().find("SHA-256 フィンガープリント: " + server.Fingerprint()), std::string::npos)
        << Err();
    EXPECT_EQ(server.Commands(), std::vector<std::string>{"AUTH TLS"});
    // As openssl prints it, in lower case.
    std::string printed = "sha256 Fingerprint=" + server.Fingerprint();
    std::transform(printed.begin(), printed.end(), printed.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    EXPECT_EQ(Run("--fetch --trust '" + printed + "' " + kName).status, 0) << Err();
    EXPECT_EQ(Local(), kLine + kLine);
    EXPECT_EQ(Run(std::string("--fetch ") + kName).status, 0) << Err();
}

}  // namespace
