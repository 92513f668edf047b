// Several logs read as one: joined exactly as they are, without their zero
// bytes, with a line end after a log whose last line has none; every log
// opened before any is read; read errors and standard input.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

#include "CompressTool.h"
#include "ScopedSeams.h"
#include "TempDir.h"
#include "io/FileIo.h"
#include "io/LogFiles.h"
#include "io/RotatedOrder.h"
#include "text/Cp932.h"
#include "Errors.h"

using namespace pomurina;
using namespace pomurina::testing;
using V = std::vector<std::string>;

namespace {

class JoinedLogs : public ::testing::Test {
protected:
    // The logs' texts written as files a.log, b.log, ... and read as one.
    std::string Join(const V& texts) {
        V paths;
        for (std::size_t i = 0; i < texts.size(); ++i)
            paths.push_back(
                dir.WriteFile(std::string(1, static_cast<char>('a' + i)) + ".log", texts[i]));
        return ReadLogs(paths, [&](std::size_t index, bool ended) {
            told.push_back(std::to_string(index) + (ended ? " read" : " reading"));
        });
    }
    TempDir dir;
    V told;
};

std::string Z(const char* text, std::size_t size) {
    return std::string(text, size);
}

TEST_F(JoinedLogs, ALogWithoutAFinalLineEndIsJoinedAsIfItHadOne) {
    const struct {
        V logs;
        std::string joined;
    } cases[] = {
        {{"a", "b"}, "a\nb"},
        {{"a\n", "b"}, "a\nb"},
        {{"a\r\n", "b\r\n"}, "a\r\nb\r\n"},
        {{"a\r", "b"}, "a\rb"},
        {{"a\r", "\nb"}, "a\r\nb"},  // the joined contents, as they are
        {{"a", "", "b", ""}, "a\nb\n"},
        {{"", "", "b"}, "b"},
        // Zero bytes are left out of a log: the line end before them counts.
        {{Z("a\n\0\0", 4), "b"}, "a\nb"},
        {{Z("a\0\0", 3), "b"}, "a\nb"},
        {{Z("\0", 1), "b"}, "b"},
        {{"a", Z("\0", 1), "b"}, "a\nb"},
        {{Z("a\0\r\0", 4), Z("\0\nb", 3)}, "a\r\nb"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Join(c.logs), c.joined) << ::testing::PrintToString(c.logs);
    // Compressed and plain logs mix; each is named as it is read.
    told.clear();
    const V paths = {dir.WriteFile("x.gz", RunFilter("gzip -n", "first")),
                     dir.WriteFile("y", "second\n"),
                     dir.WriteFile("z.zst", RunFilter("zstd -q", "third"))};
    EXPECT_EQ(ReadLogs(paths,
                       [&](std::size_t i, bool ended) {
                           told.push_back(std::to_string(i) + (ended ? " read" : " reading"));
                       }),
              "first\nsecond\nthird");
    EXPECT_EQ(told, (V{"0 reading", "0 read", "1 reading", "1 read", "2 reading", "2 read"}));
}

TEST_F(JoinedLogs, EveryLogIsOpenedBeforeAnyIsReadAndErrorsNameTheLog) {
    const std::string good = dir.WriteFile("good.log", "a\n");
    const std::string missing = (dir.Path() / "missing.log").string();
    try {
        ReadLogs({good, missing}, [&](std::size_t, bool) { told.push_back("told"); });
        FAIL();
    } catch (const FileOpenError& e) {
        EXPECT_EQ(Cp932ToUtf8(e.Message()),
                  "ファイル \"" + missing + "\". 指定されたファイルが見つかりません は開けません");
    }
    EXPECT_TRUE(told.empty());

    // A read that fails half way through a compressed log.
    const std::string packed =
        dir.WriteFile("packed.gz", RunFilter("gzip -n", std::string(1 << 22, 'x')));
    static int reads;
    reads = 0;
    ScopedFileIo io;
    io.Replace(&FileIo::read, [](int fd, void* buffer, size_t size) -> ssize_t {
        if (++reads == 3) {
            errno = EIO;
            return -1;
        }
        return ::read(fd, buffer, std::min<size_t>(size, 4096));
    });
    try {
        ReadLogs({good, packed}, [](std::size_t, bool) {});
        FAIL();
    } catch (const FileOpenError& e) {
        EXPECT_EQ(Cp932ToUtf8(e.Message()),
                  "ファイル \"" + packed + "\". デバイスに I/O エラーが発生しました は開けません");
    }
}

TEST_F(JoinedLogs, StandardInputIsALogLikeAnyOtherCompressedOrNot) {
    EXPECT_EQ(Cp932ToUtf8(LogNameText("-")), "標準入力");
    EXPECT_EQ(LogNameText("relative/x.log"), "relative/x.log");
    const std::string after = dir.WriteFile("after.log", "after");
    for (const std::string& input : {RunFilter("xz", "piped"), std::string("piped")}) {
        int pipeEnds[2];
        ASSERT_EQ(::pipe(pipeEnds), 0);
        const int savedInput = ::dup(STDIN_FILENO);
        ::dup2(pipeEnds[0], STDIN_FILENO);
        ::close(pipeEnds[0]);
        // Written a little at a time, as a slow producer writes.
        std::thread writer([&, out = pipeEnds[1]] {
            for (const char c : input) (void)!::write(out, &c, 1);
            ::close(out);
        });
        std::string text;
        EXPECT_NO_THROW(text = ReadLogs({"-", after}, [](std::size_t, bool) {}));
        writer.join();
        ::dup2(savedInput, STDIN_FILENO);
        ::close(savedInput);
        EXPECT_EQ(text, "piped\nafter");
    }
}

TEST(RotatedOrder, OldestFirstByNameAndRotationNumber) {
    V paths = {"/l/access_log",      "/l/access_log.1",     "/l/access_log.10.gz",
               "/l/access_log.2.gz", "/l/access_log.3.bz2", "/l/error_log.1",
               "/l/error_log",       "/l/access_log.9.zst"};
    SortRotatedLogs(paths);
    EXPECT_EQ(paths, (V{"/l/access_log.10.gz", "/l/access_log.9.zst", "/l/access_log.3.bz2",
                        "/l/access_log.2.gz", "/l/access_log.1", "/l/access_log", "/l/error_log.1",
                        "/l/error_log"}));
    // Dates in the name are in order by name; a long run of digits is a date.
    V dated = {"/l/example.jp.access_log_202604.gz", "/l/example.jp.access_log_202603.gz",
               "/l/access_log.20260302.gz", "/l/access_log.20260301.gz", "/l/access_log-20260301"};
    SortRotatedLogs(dated);
    EXPECT_EQ(dated,
              (V{"/l/access_log-20260301", "/l/access_log.20260301.gz", "/l/access_log.20260302.gz",
                 "/l/example.jp.access_log_202603.gz", "/l/example.jp.access_log_202604.gz"}));
    // The same number plain and compressed: by the whole name.
    V same = {"/l/a.1.gz", "/l/a.1", ".1", "/l/.gz"};
    SortRotatedLogs(same);
    EXPECT_EQ(same, (V{".1", "/l/.gz", "/l/a.1", "/l/a.1.gz"}));
}

}  // namespace
