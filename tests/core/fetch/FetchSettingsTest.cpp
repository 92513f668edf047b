// What a fetch is told before it connects: the stored settings (old and new
// files), the server field, the log file's name, the fingerprints the user
// compares and the file of trusted servers.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "TempDir.h"
#include "fetch/FetchSettings.h"
#include "fetch/FetchSizeLimit.h"
#include "fetch/Fingerprint.h"
#include "fetch/KnownServers.h"
#include "fetch/LogFileName.h"
#include "fetch/RemotePath.h"
#include "fetch/ServerAddress.h"
#include "text/Cp932.h"
#include "Errors.h"

using namespace pomurina;
namespace fs = std::filesystem;
using pomurina::testing::ReadFileBytes;
using pomurina::testing::TempDir;
using pomurina::testing::WriteFileBytes;

namespace {

const std::string kFourLines = "example.jp\r\nalice\r\nsecret\r\n/log/\r\n";

FetchSettings Read(const std::string& text) {
    TextList lines;
    lines.SetText(text);
    FetchSettings settings;
    ReadFetchSettings(lines, "materia/FTPSetting.dat", settings);
    return settings;
}

}  // namespace

TEST(FetchSettings, FourLinesOfTheOlderProgramMeanPlainActiveFtp) {
    const FetchSettings s = Read(kFourLines);
    EXPECT_EQ(s.server, "example.jp");
    EXPECT_EQ(s.account, "alice");
    EXPECT_EQ(s.password, "secret");
    EXPECT_EQ(s.directory, "/log/");
    EXPECT_EQ(s.protocol, FetchProtocol::Ftp);
    EXPECT_FALSE(s.passive);
}

TEST(FetchSettings, TheFifthAndSixthLinesNameProtocolAndMode) {
    struct Case {
        std::string lines;
        FetchProtocol protocol;
        bool passive;
    };
    const Case cases[] = {{"ftp\r\npassive\r\n", FetchProtocol::Ftp, true},
                          {"ftps\r\nactive\r\n", FetchProtocol::Ftps, false},
                          {"sftp\r\n", FetchProtocol::Sftp, false},
                          {" SFTP \r\nPassive\r\n", FetchProtocol::Sftp, true},
                          {"\r\npassive\r\n", FetchProtocol::Ftp, true},
                          {"ftps\r\n\r\nseventh\r\n", FetchProtocol::Ftps, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lines);
        const FetchSettings s = Read(kFourLines + c.lines);
        EXPECT_EQ(s.protocol, c.protocol);
        EXPECT_EQ(s.passive, c.passive);
        EXPECT_EQ(s.password, "secret");
    }
}

// A line nobody wrote must not quietly send the password in clear text.
TEST(FetchSettings, AnUnknownProtocolOrModeIsAnErrorNamingTheLine) {
    try {
        Read(kFourLines + "ftpes\r\n");
        FAIL();
    } catch (const Error& e) {
        const std::string message = Cp932ToUtf8(e.Message());
        EXPECT_NE(message.find("FTPSetting.dat\" の 5 行目 \"ftpes\""), std::string::npos)
            << message;
    }
    EXPECT_THROW(Read(kFourLines + "sftp\r\nactiv\r\n"), Error);
    // Fewer than four lines: the fields before the gap are read, then the index error.
    TextList lines;
    lines.SetText("host\r\nuser");
    FetchSettings s;
    EXPECT_THROW(ReadFetchSettings(lines, "x", s), ListIndexError);
    EXPECT_EQ(s.server, "host");
    EXPECT_EQ(s.account, "user");
}

TEST(FetchSettings, ASaveWritesSixLinesOwnerOnlyThatReadBackTheSame) {
    TempDir dir;
    const std::string file = (dir.Path() / "FTPSetting.dat").string();
    FetchSettings s = Read(kFourLines);
    s.protocol = FetchProtocol::Sftp;
    s.passive = true;
    SaveFetchSettings(file, s);
    EXPECT_EQ(ReadFileBytes(file), kFourLines + "sftp\r\npassive\r\n");
    struct stat info {};
    ASSERT_EQ(::stat(file.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    const FetchSettings back = LoadFetchSettings(file);
    EXPECT_EQ(back.protocol, FetchProtocol::Sftp);
    EXPECT_TRUE(back.passive);
    EXPECT_EQ(back.server, "example.jp");
}

TEST(ServerAddress, HostsPortsAndIpv6) {
    struct Case {
        const char* field;
        const char* host;  // nullptr: refused
        int port;
    };
    const Case cases[] = {
        {"example.jp", "example.jp", 21},
        {"example.jp:2121", "example.jp", 2121},
        {"127.0.0.1:65535", "127.0.0.1", 65535},
        {"[2001:db8::1]:22", "2001:db8::1", 22},
        {"[::1]", "::1", 21},
        {"2001:db8::1", "2001:db8::1", 21},  // no brackets: no port
        {"", nullptr, 0},
        {":21", nullptr, 0},
        {"example.jp:", nullptr, 0},
        {"example.jp:0", nullptr, 0},
        {"example.jp:65536", nullptr, 0},
        {"example.jp:21x", nullptr, 0},
        {"example.jp:+21", nullptr, 0},
        {"[2001:db8::1", nullptr, 0},
        {"[2001:db8::1]x", nullptr, 0},
        {"[example.jp]:21", nullptr, 0},
        {"exa mple.jp", nullptr, 0},
        {"user@example.jp", nullptr, 0},
        {"example.jp/log", nullptr, 0},
        {"example.jp\r\n", nullptr, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.field);
        const auto address = ParseServerAddress(c.field, 21);
        ASSERT_EQ(address.has_value(), c.host != nullptr);
        if (!address) continue;
        EXPECT_EQ(address->host, c.host);
        EXPECT_EQ(address->port, c.port);
    }
    EXPECT_EQ(ParseServerAddress("2001:db8::1", 22)->Text(), "[2001:db8::1]:22");
    EXPECT_EQ(ParseServerAddress("example.jp", DefaultPort(FetchProtocol::Sftp))->port, 22);
    EXPECT_EQ(DefaultPort(FetchProtocol::Ftps), 21);
}

TEST(RemotePath, TheDirectoryAndTheNameAreJoinedByOneSlash) {
    const struct {
        const char *directory, *remote;
    } cases[] = {
        {"", "access_log"},  // the login directory
        {"/", "/access_log"},
        {"log", "log/access_log"},
        {"/log", "/log/access_log"},
        {"/log/", "/log/access_log"},
        {"~/log", "~/log/access_log"},
        {"~", "~/access_log"},
        {"/log//", "/log//access_log"},                 // as written
        {"\x83\x8D\x83O", "\x83\x8D\x83O/access_log"},  // Shift-JIS
    };
    for (const auto& c : cases) EXPECT_EQ(RemotePath(c.directory, "access_log"), c.remote);
}

// A fetch stops before the disk is full: the free space less 5 % of it or
// 100 MiB, whichever is larger, may be fetched.
TEST(FetchSizeLimit, LeavesAMarginOfTheFreeSpace) {
    constexpr std::uint64_t MiB = 1 << 20;
    const struct {
        std::uint64_t free, limit;
    } cases[] = {
        {0, 0},
        {100 * MiB, 0},
        {101 * MiB, MiB},
        {2000 * MiB, 1900 * MiB},
        {2001 * MiB, 2001 * MiB - 2001 * MiB / 20},
        {~std::uint64_t{0}, ~std::uint64_t{0} - ~std::uint64_t{0} / 20},
    };
    for (const auto& c : cases) EXPECT_EQ(SizeLimitForFreeSpace(c.free), c.limit) << c.free;
}

TEST(LogFileName, TheDefaultIsTodaysLocalDateAndCompressedNamesAreKnown) {
    std::tm day{};
    day.tm_year = 2026 - 1900;
    day.tm_mon = 11;
    day.tm_mday = 6;
    day.tm_hour = 23;
    day.tm_isdst = -1;
    EXPECT_EQ(DefaultLogFileName(std::mktime(&day)), "access_log_20261206");
    for (const char* name : {"access_log.gz", "a.BZ2", "a.tar.xz", "log.Zst"})
        EXPECT_TRUE(IsCompressedLogName(name)) << name;
    for (const char* name : {"access_log", "gz", "a.gz.txt", "a.zip", "a.tgz", "a.", ".gz.1"})
        EXPECT_FALSE(IsCompressedLogName(name)) << name;
    EXPECT_NO_THROW(CheckLogFileName("access_log_20261206"));
    EXPECT_NO_THROW(CheckLogFileName("ソフト.log"));  // "\" as a Shift-JIS second byte
    for (const char* name : {"", ".", "..", "../x", "a/b", "a\\b", "a\tb"})
        EXPECT_THROW(CheckLogFileName(name), Error) << name;
}

TEST(Fingerprint, WrittenAsOpenSshAndOpenSslWriteThem) {
    const std::string digest(32, '\xAB');
    const std::string key = HostKeyFingerprint(digest);
    EXPECT_EQ(key, "SHA256:q6urq6urq6urq6urq6urq6urq6urq6urq6urq6urq6s");
    const std::string cert = CertificateFingerprint(std::string("\x01\xfe\x7f", 3));
    EXPECT_EQ(cert, "01:FE:7F");

    const struct {
        std::string given;
        std::string actual;
        bool same;
    } cases[] = {
        {key, key, true},
        {key.substr(7), key, true},
        {"sha256:" + key.substr(7), key, true},
        {key + "=", key, true},
        {" " + key + "\n", key, true},
        {"SHA256:" + std::string(43, 'q'), key, false},
        {"SHA256:q6urq6urq6urq6urq6urq6urq6urq6urq6urq6urq6S", key, false},  // base64 is exact
        {"", key, false},
        {"SHA256:", key, false},
        {"01:FE:7F", cert, true},
        {"01:fe:7f", cert, true},
        {"01FE7F", cert, true},
        {"sha256 Fingerprint=01:FE:7F", cert, true},
        {"01:FE:7E", cert, false},
        {"01:FE", cert, false},
        {"01:FE:7G", cert, false},
        {key, cert, false},
        {cert, key, false},
    };
    for (const auto& c : cases) EXPECT_EQ(SameFingerprint(c.given, c.actual), c.same) << c.given;
}

TEST(KnownServers, RemembersPerProtocolHostAndPortAndKeepsOtherLines) {
    TempDir dir;
    const std::string file = (dir.Path() / "KnownServers.dat").string();
    const ServerAddress example{"Example.JP", 22};
    {
        KnownServers known(file);  // no file yet
        EXPECT_FALSE(known.Find(FetchProtocol::Sftp, example));
        known.Remember(FetchProtocol::Sftp, example, "SHA256:abc");
    }
    EXPECT_EQ(ReadFileBytes(file), "sftp example.jp:22 SHA256:abc\r\n");
    WriteFileBytes(file, "# trusted by hand\r\nsftp example.jp:22 SHA256:abc\r\nnonsense\r\n");
    KnownServers known(file);
    EXPECT_EQ(known.Find(FetchProtocol::Sftp, {"example.jp", 22}), "SHA256:abc");
    EXPECT_FALSE(known.Find(FetchProtocol::Sftp, {"example.jp", 2222}));
    EXPECT_FALSE(known.Find(FetchProtocol::Ftps, {"example.jp", 22}));
    EXPECT_FALSE(known.Find(FetchProtocol::Sftp, {"example.j", 22}));
    known.Remember(FetchProtocol::Ftps, {"2001:db8::1", 21}, "AB:CD");
    known.Remember(FetchProtocol::Sftp, {"example.jp", 22}, "SHA256:new");
    EXPECT_EQ(ReadFileBytes(file),
              "# trusted by hand\r\nnonsense\r\nftps [2001:db8::1]:21 AB:CD\r\n"
              "sftp example.jp:22 SHA256:new\r\n");
    EXPECT_EQ(KnownServers(file).Find(FetchProtocol::Ftps, {"2001:db8::1", 21}), "AB:CD");
}

// Not knowing what was trusted must not look like nothing was: a file that
// is there but can't be read stops the fetch, and a failed write changes nothing.
TEST(KnownServers, AnUnreadableFileOrAFailedWriteIsAnError) {
    TempDir dir;
    fs::create_directory(dir.Path() / "KnownServers.dat");
    EXPECT_THROW(KnownServers((dir.Path() / "KnownServers.dat").string()), FileOpenError);
    WriteFileBytes(dir.Path() / "file", "x");
    EXPECT_THROW(KnownServers((dir.Path() / "file" / "KnownServers.dat").string()), FileOpenError);
    KnownServers missingFolder((dir.Path() / "none" / "KnownServers.dat").string());
    EXPECT_THROW(missingFolder.Remember(FetchProtocol::Sftp, {"h", 22}, "SHA256:x"),
                 FileCreateError);
}

// A zero byte ends what is read: remembering another server must not write
// the file back without the servers after it.
TEST(KnownServers, AFileCutShortByAZeroByteIsNeverWrittenBack) {
    TempDir dir;
    const std::string file = (dir.Path() / "KnownServers.dat").string();
    const std::string bytes =
        std::string("sftp a.jp:22 SHA256:a\r\n") + '\0' + "sftp b.jp:22 SHA256:b\r\n";
    WriteFileBytes(file, bytes);
    KnownServers known(file);
    EXPECT_EQ(known.Find(FetchProtocol::Sftp, {"a.jp", 22}), "SHA256:a");
    try {
        known.Remember(FetchProtocol::Sftp, {"c.jp", 22}, "SHA256:c");
        FAIL();
    } catch (const Error& e) {
        EXPECT_EQ(
            Cp932ToUtf8(e.Message()),
            "ファイル \"" + file + "\" を最後まで読み込めなかったため、変更は保存していません");
    }
    EXPECT_EQ(ReadFileBytes(file), bytes);
}
