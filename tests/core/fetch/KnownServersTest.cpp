// The trusted servers' file: a line names its server in whatever form a
// hand or an editor left it, and a file that can't be read whole may hold
// the server in the part that wasn't.
#include <gtest/gtest.h>

#include <cerrno>

#include "ScopedSeams.h"
#include "TempDir.h"
#include "fetch/KnownServers.h"
#include "text/Cp932.h"
#include "Errors.h"

using namespace pomurina;
using pomurina::testing::TempDir;

namespace {

const ServerAddress kServer{"example.jp", 22};

struct Read {
    std::optional<std::string> fingerprint;
    std::string unread;  // UTF-8
};

Read ReadFile(const TempDir& dir, const std::string& bytes,
              const ServerAddress& server = kServer) {
    const std::string path = dir.WriteFile("KnownServers.dat", bytes);
    const KnownServers known(path);
    return {known.Find(FetchProtocol::Sftp, server), Cp932ToUtf8(known.Unread())};
}

}  // namespace

TEST(KnownServers, ALineNamesItsServerInAnyForm) {
    const TempDir dir;
    const struct {
        std::string bytes;
        std::optional<std::string> fingerprint;
        ServerAddress server = kServer;
    } cases[] = {
        {"sftp example.jp:22 SHA256:k\r\n", "SHA256:k"},
        {"sftp example.jp:22 SHA256:k \r\n", "SHA256:k"},
        {"SFTP Example.JP:22 SHA256:k", "SHA256:k"},
        {" sftp\texample.jp:22  SHA256:k\r\r\n", "SHA256:k"},
        {"sftp example.jp. SHA256:k\n\r", "SHA256:k"},  // the default port, a full stop
        {"sftp example.jp:22 SHA256:k comment", "SHA256:k"},
        {"# x\r\nsftp example.jp:22\r\n", ""},  // known, with nothing to match
        {"sftp example.jp:22 SHA256:k\nsftp example.jp:22 SHA256:j\n", "SHA256:k"},
        {"sftp [2001:DB8:0::1]:22 SHA256:k", "SHA256:k", {"2001:db8::1", 22}},
        {"sftp example.jp:2222 SHA256:k\nftps example.jp:22 AB\nsftp example.jpx:22 k", {}},
        {"", {}},
    };
    for (const auto& c : cases) {
        const Read read = ReadFile(dir, c.bytes, c.server);
        EXPECT_EQ(read.fingerprint, c.fingerprint) << c.bytes;
        EXPECT_EQ(read.unread, "") << c.bytes;
    }
}

TEST(KnownServers, AFileNotReadWholeMayHoldTheServer) {
    const TempDir dir;
    const std::string other = "sftp other.jp:22 SHA256:o\r\n";
    const std::string line = "sftp example.jp:22 SHA256:k\r\n";
    const struct {
        std::string bytes;
        std::optional<std::string> fingerprint;
        const char* unread;
    } cases[] = {
        {other + std::string(3, '\0') + other, {}, "ゼロのバイトがあります"},
        {other + std::string(3, '\0') + line, "SHA256:k", "ゼロのバイトがあります"},
        {other + "sftp x.jp:22 " + std::string(5000, 'A') + "\r\n", {}, "長すぎる行があります"},
        {line + std::string(1 << 20, '#'), {}, "1048576 バイトを超えています"},
    };
    for (const auto& c : cases) {
        const Read read = ReadFile(dir, c.bytes);
        EXPECT_EQ(read.fingerprint, c.fingerprint) << c.unread;
        EXPECT_EQ(read.unread, c.unread);
    }
    // A read that fails half way: what came before it counts.
    {
        pomurina::testing::ScopedFileIo io;
        static int reads;
        reads = 0;
        io.Replace(&FileIo::read, [](int fd, void* buffer, size_t) -> ssize_t {
            if (++reads == 1) return SystemFileIo().read(fd, buffer, 28);
            errno = EIO;
            return -1;
        });
        const Read read = ReadFile(dir, line + other);
        EXPECT_EQ(read.fingerprint, "SHA256:k");
        EXPECT_EQ(read.unread, "デバイスに I/O エラーが発生しました");
        EXPECT_EQ(ReadFile(dir, other + line).fingerprint, std::nullopt);
    }
    // Nothing is written back over what wasn't read.
    const std::string path = dir.WriteFile("KnownServers.dat", line + std::string(1 << 20, '#'));
    EXPECT_THROW(KnownServers(path).Remember(FetchProtocol::Sftp, kServer, "SHA256:n"), Error);
}

TEST(KnownServers, RememberingReplacesEveryLineOfTheServer) {
    const TempDir dir;
    const std::string path = dir.WriteFile(
        "KnownServers.dat", "# mine\r\nSFTP Example.JP SHA256:old \r\nsftp other.jp:22 o\r\n");
    KnownServers known(path);
    known.Remember(FetchProtocol::Sftp, kServer, "SHA256:new");
    EXPECT_EQ(dir.ReadFile("KnownServers.dat"),
              "# mine\r\nsftp other.jp:22 o\r\nsftp example.jp:22 SHA256:new\r\n");
    EXPECT_EQ(KnownServers(path).Find(FetchProtocol::Sftp, kServer), "SHA256:new");
}
