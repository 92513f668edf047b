// A loaded log's lines, against a plain reading of the line rules written
// here: every kind of line end, zero bytes, a last line without its end, a
// text split on every core, and what is written back out.
#include <gtest/gtest.h>

#include <algorithm>

#include "text/LineEnds.h"
#include "text/TextLines.h"

using namespace pomurina;

namespace {

// The rules read plainly: a line ends at CR, LF or CR LF; a line end at the
// very end adds no line; zero bytes are left out first.
std::vector<std::string> PlainLines(std::string text) {
    text.erase(std::remove(text.begin(), text.end(), '\0'), text.end());
    std::vector<std::string> lines;
    std::string line;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') {
            line += text[i];
            continue;
        }
        lines.push_back(line);
        line.clear();
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}

void ExpectPlainLines(const std::string& text) {
    const std::vector<std::string> expected = PlainLines(text);
    const TextLines lines{std::string_view(text)};
    ASSERT_EQ(lines.Count(), expected.size());
    std::string written;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        ASSERT_EQ(lines.At(i), expected[i]) << i;
        ASSERT_EQ(lines.Length(i), expected[i].size()) << i;
        written += expected[i] + "\n";
    }
    // Every run of lines written out, wherever it begins and ends.
    const std::size_t n = expected.size();
    for (const std::size_t first : {std::size_t{0}, std::size_t{1}, n / 2, n > 0 ? n - 1 : 0}) {
        if (first > n) continue;
        std::string out;
        std::size_t from = 0;
        for (std::size_t i = 0; i < first; ++i) from += expected[i].size() + 1;
        lines.AppendLines(first, n - first, out);
        EXPECT_TRUE(out == written.substr(from)) << first;
    }
}

TEST(TextLines, EveryLineEndZeroByteAndLastLineAsTheRulesSay) {
    using namespace std::string_view_literals;
    const std::string_view texts[] = {""sv,
                                      "\n"sv,
                                      "\r"sv,
                                      "\r\n"sv,
                                      "\n\r"sv,
                                      "a"sv,
                                      "a\n"sv,
                                      "a\r\nb"sv,
                                      "\r\r\n\n"sv,
                                      "\n\n\nx"sv,
                                      "x\r\n\r\n"sv,
                                      "cr\rlf\ncr\r"sv,
                                      "a\rb\n\rc\n\ne\r\r\nlast"sv,
                                      "\0"sv,
                                      "\0\n\0"sv,
                                      "a\0\r\0\nb"sv,
                                      "x\0y\n\0\0\nz\r\0\nw"sv};
    for (const std::string_view text : texts) {
        SCOPED_TRACE(testing::PrintToString(std::string(text)));
        ExpectPlainLines(std::string(text));
    }
}

TEST(TextLines, ALargeTextSplitOnEveryCoreHasTheSameLines) {
    std::string text;
    for (std::size_t i = 0; text.size() < (std::size_t{9} << 20); ++i) {
        text += std::string(i % 61, static_cast<char>('a' + i % 26));
        text += i % 5 == 0 ? "\r\n" : i % 7 == 0 ? "\r" : i % 11 == 0 ? "\n\r" : "\n";
    }
    text += "last";
    ExpectPlainLines(text);
}

}  // namespace

TEST(LineEnds, EndsPast4GiBReadBackWhetherPushedOrJoined) {
    // The index keeps 32 bits an end: ends of a text of several GiB, pushed
    // in one index and joined from parts cut anywhere, read back whole.
    constexpr std::uint64_t G = std::uint64_t{1} << 30;
    const std::vector<std::uint64_t> ends = {10,         4 * G - 1,  4 * G,  4 * G + 7, 8 * G + 3,
                                             13 * G + 5, 13 * G + 6, 16 * G, 16 * G,    17 * G};
    for (std::size_t cut = 0; cut <= ends.size(); ++cut) {
        SCOPED_TRACE(cut);
        LineEnds first, second;
        for (std::size_t i = 0; i < ends.size(); ++i)
            (i < cut ? first : second).Push(ends[i], nullptr);
        first.Join(std::move(second), nullptr);
        ASSERT_EQ(first.Size(), ends.size());
        for (std::size_t i = 0; i < ends.size(); ++i) EXPECT_EQ(first[i], ends[i]) << i;
    }
}
