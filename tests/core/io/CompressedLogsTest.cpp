// Compressed logs, made by the formats' own tools, read back through the
// log reader: the exact bytes the tool was given, whatever the name; every
// stream of a file; a damaged or cut file an error that names it, never a
// part of its text; and what the tools themselves ignore after the end.
#include <gtest/gtest.h>

#include <cstdint>

#include "CompressTool.h"
#include "TempDir.h"
#include "io/LogFiles.h"
#include "text/Cp932.h"
#include "Errors.h"

using namespace pomurina;
using namespace pomurina::testing;

namespace {

// Log-like lines with every kind of line end, zero bytes, Shift-JIS and
// stray bytes, long enough to cross the reader's input and output chunks.
std::string Sample(int lines) {
    std::string text;
    for (int i = 0; i < lines; ++i) {
        text += "192.0.2." + std::to_string(i % 250) + " - - [05/Mar/2026:1" +
                std::to_string(i % 10) + ":00:00 +0900] \"GET /p" + std::to_string(i * 7919) +
                " HTTP/1.1\" 200 " + std::to_string(i) + " \"-\" \"agent\"";
        text += i % 97 == 0 ? "\r" : i % 89 == 0 ? std::string("\0\n", 2) : i % 3 ? "\n" : "\r\n";
        if (i % 1000 == 0) text += "\x82\xa0\x95\x5c\xff\xfe\n";
    }
    return text + "last line without a line end";
}

// Bytes no compressor can shrink, so that a compressed file outgrows the
// reader's input chunk.
std::string Noise(std::size_t size) {
    std::string bytes(size, '\0');
    std::uint32_t state = 2463534242u;
    for (char& c : bytes) {
        state ^= state << 13, state ^= state >> 17, state ^= state << 5;
        c = static_cast<char>(state >> 24);
    }
    return bytes;
}

// The text as the analysis sees it: without its zero bytes.
std::string Seen(std::string text) {
    std::erase(text, '\0');
    return text;
}

class CompressedLogs : public ::testing::Test {
protected:
    std::string Read(const std::string& path) {
        return ReadLogs({path}, [](std::size_t, bool) {});
    }
    // The error text of reading path, or "" when it was read.
    std::string Failure(const std::string& path) {
        try {
            Read(path);
        } catch (const Error& e) {
            return Cp932ToUtf8(e.Message());
        }
        return "";
    }
    std::string Damaged(const std::string& path, const std::string& format, bool truncated) {
        return "ファイル \"" + path + "\". " + format +
               (truncated ? " 形式のデータが途中で終わっているため展開できません"
                          : " 形式のデータが壊れているため展開できません");
    }
    TempDir dir;
};

const char* FormatOf(const CompressTool& tool) {
    return tool.extension == ".gz"    ? "gzip"
           : tool.extension == ".bz2" ? "bzip2"
           : tool.extension == ".xz"  ? "xz"
                                      : "zstd";
}

TEST_F(CompressedLogs, EveryFormatGivesExactlyWhatItsToolWasGivenWhateverTheName) {
    // Over 4 MB, more than 1 MB of it still over 1 MB compressed.
    const std::string text = Sample(20000) + Noise(1200000) + Sample(20000);
    const std::string seen = Seen(text);
    const std::string other = "second stream\r\nwithout an end";
    for (const CompressTool& tool : CompressTools()) {
        SCOPED_TRACE(tool.command);
        const std::string packed = RunFilter(tool.command, text);
        // Told by the first bytes: a rotated name without the format's ending too.
        EXPECT_TRUE(Read(dir.WriteFile("access_log" + tool.extension, packed)) == seen);
        EXPECT_TRUE(Read(dir.WriteFile("access_log.1", packed)) == seen);
        // Streams one after the other (cat a.gz b.gz), read as their tool reads them:
        // joined as they are, nothing put between.
        EXPECT_TRUE(Read(dir.WriteFile("two", RunFilter(tool.command, other) + packed +
                                                  RunFilter(tool.command, other))) ==
                    other + seen + other);
        EXPECT_EQ(Read(dir.WriteFile("empty", RunFilter(tool.command, ""))), "");
    }
    // Plain text with a compressed name is read as it is.
    EXPECT_TRUE(Read(dir.WriteFile("plain.gz", text)) == seen);
    EXPECT_EQ(Read(dir.WriteFile("nothing.gz", "")), "");
    EXPECT_EQ(Read(dir.WriteFile("short.gz", "\x1f\x8b")), "\x1f\x8b");
}

TEST_F(CompressedLogs, ADamagedOrCutFileIsAnErrorThatNamesIt) {
    const std::string text = Sample(20000);
    for (const CompressTool& tool : CompressTools()) {
        SCOPED_TRACE(tool.command);
        const std::string packed = RunFilter(tool.command, text);
        const std::string path = (dir.Path() / ("access_log" + tool.extension)).string();
        const auto cut = [&](std::size_t size) {
            dir.WriteFile("access_log" + tool.extension, packed.substr(0, size));
            return Failure(path);
        };
        // Inside the header, half way, one byte short.
        for (const std::size_t size : {std::size_t{8}, packed.size() / 2, packed.size() - 1})
            EXPECT_EQ(cut(size), Damaged(path, FormatOf(tool), true)) << size;

        const auto corrupt = [&](std::size_t at) {
            std::string bad = packed;
            bad[at] = static_cast<char>(bad[at] ^ 0x5a);
            bad[at + 1] = static_cast<char>(bad[at + 1] ^ 0xa5);
            dir.WriteFile("access_log" + tool.extension, bad);
            return Failure(path);
        };
        // The data in the middle, and the checks near the end (gzip's CRC,
        // bzip2's stream CRC, xz's footer, zstd's content checksum).
        EXPECT_EQ(corrupt(packed.size() / 2), Damaged(path, FormatOf(tool), false));
        EXPECT_EQ(corrupt(packed.size() - 7), Damaged(path, FormatOf(tool), false));
    }
}

TEST_F(CompressedLogs, WhatTheToolsIgnoreAfterTheLastStreamIsIgnoredTheRestIsDamage) {
    const std::string text = Sample(100);
    const std::string zeros(8, '\0');
    for (const CompressTool& tool : CompressTools()) {
        SCOPED_TRACE(tool.command);
        const std::string packed = RunFilter(tool.command, text);
        const std::string garbage = dir.WriteFile("garbage", packed + "garbage after the end\n");
        const std::string padded = dir.WriteFile("padded", packed + zeros);
        if (tool.extension == ".gz" || tool.extension == ".bz2") {
            // "decompression OK, trailing garbage ignored"
            EXPECT_EQ(Read(garbage), Seen(text));
            EXPECT_EQ(Read(padded), Seen(text));
        } else if (tool.extension == ".xz") {
            EXPECT_EQ(Failure(garbage), Damaged(garbage, "xz", false));
            EXPECT_EQ(Read(padded), Seen(text));  // stream padding, four bytes at a time
        } else {
            EXPECT_EQ(Failure(garbage), Damaged(garbage, "zstd", false));
            EXPECT_EQ(Failure(padded), Damaged(padded, "zstd", false));
        }
    }
    // gzip: a member that begins and stops at once is cut.
    const std::string begun =
        dir.WriteFile("begun.gz", RunFilter("gzip -n", text) + "\x1f\x8b\x08");
    EXPECT_EQ(Failure(begun), Damaged(begun, "gzip", true));
}

}  // namespace
