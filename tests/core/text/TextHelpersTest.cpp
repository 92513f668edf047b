// Byte text, integer parsing, case folding and error texts.
#include <gtest/gtest.h>
#include <iconv.h>

#include <array>
#include <limits>
#include <random>
#include <vector>

#include "Errors.h"
#include "text/CaseFold.h"
#include "text/Cp932.h"
#include "text/IntegerText.h"
#include "text/LineSplit.h"
#include "text/SjisText.h"
#include "text/TerminalText.h"

using namespace pomurina;

TEST(SjisText, PositionsAreOneBasedAndAnEmptyNeedleIsNeverFound) {
    EXPECT_EQ(Pos("b", "abcb"), 2u);
    EXPECT_EQ(Pos("x", "abc"), 0u);
    EXPECT_EQ(Pos("", "abc"), 0u);
    EXPECT_EQ(Pos("abcd", "abc"), 0u);
    EXPECT_FALSE(Contains("abc", ""));
    // An ASCII needle may match the trail byte of a double-byte character: 0x95 0x5C is 表.
    EXPECT_EQ(Pos("\\", "\x95\x5C"), 2u);
    // Long texts go through the sixteen-at-a-time search; the first place wins.
    const std::string hay = std::string(100, 'a') + "needle" + std::string(50, 'b') + "needle";
    EXPECT_EQ(Pos("needle", hay), 101u);
    EXPECT_EQ(Pos("needle", std::string(40, 'n') + "needl"), 0u);
}

TEST(LineSplit, TheFirstZeroByteEndsATextEvenAnEmptyOne) {
    using namespace std::string_view_literals;
    const struct {
        std::string_view text, kept;
    } cases[] = {{{}, ""}, {"", ""}, {"\0"sv, ""}, {"ab"sv, "ab"}, {"a\0b\0"sv, "a"}};
    for (const auto& c : cases) EXPECT_EQ(UpToFirstZero(c.text), c.kept) << c.text.size();
}

// The lines of random texts of CRs, LFs and other bytes, across the 64-byte
// blocks the split reads at once, against a byte-at-a-time reading of the
// rule: a line ends at CR or LF, and one CR and then one LF are skipped.
TEST(LineSplit, AgreesWithAByteAtATimeReadingAndStopsWhenTold) {
    using Line = std::array<std::size_t, 3>;  // offset, length, end
    const auto model = [](std::string_view text) {
        std::vector<Line> lines;
        std::size_t start = 0, i = 0;
        while (i < text.size()) {
            if (text[i] != '\r' && text[i] != '\n') {
                ++i;
                continue;
            }
            const std::size_t length = i - start;
            if (text[i] == '\r') ++i;
            if (i < text.size() && text[i] == '\n') ++i;
            lines.push_back({start, length, i});
            start = i;
        }
        if (start < text.size()) lines.push_back({start, text.size() - start, text.size()});
        return lines;
    };
    std::mt19937 random(5);
    const std::string bytes("ab\r\n\0", 5);
    for (int round = 0; round < 3000; ++round) {
        std::string text;
        const std::size_t size = random() % 300;
        for (std::size_t i = 0; i < size; ++i) text += bytes[random() % (round % 2 ? 5 : 3)];
        const std::vector<Line> expected = model(text);
        std::vector<Line> lines;
        SplitLineEnds(text, [&](std::size_t offset, std::size_t length, std::size_t end) {
            lines.push_back({offset, length, end});
        });
        ASSERT_EQ(lines, expected) << "round " << round;
        const std::size_t stopAfter = random() % (expected.size() + 1);
        lines.clear();
        SplitLineEnds(text, [&](std::size_t offset, std::size_t length, std::size_t end) {
            lines.push_back({offset, length, end});
            return lines.size() < stopAfter;
        });
        ASSERT_EQ(lines.size(), std::min(std::max<std::size_t>(stopAfter, 1), expected.size()));
    }
}

TEST(SjisText, CopyClampsStartAndLength) {
    EXPECT_EQ(Copy("abcdef", 0, 2), "ab");  // a start below 1 counts as 1
    EXPECT_EQ(Copy("abcdef", -5, 3), "abc");
    EXPECT_EQ(Copy("abcdef", 7, 2), "");  // beyond the end
    EXPECT_EQ(Copy("abcdef", 2, 0), "");
    EXPECT_EQ(Copy("abcdef", 2, -1), "");
    EXPECT_EQ(Copy("abcdef", 5, 100), "ef");  // stops at the end
    EXPECT_EQ(Copy("abcdef", 6, 1), "f");
}

TEST(IntegerText, ParsesTheRunTimesForms) {
    EXPECT_EQ(StrToInt("  42"), 42);
    EXPECT_EQ(StrToInt("+7"), 7);
    EXPECT_EQ(StrToInt("-09"), -9);
    EXPECT_EQ(StrToInt("$1F"), 31);
    EXPECT_EQ(StrToInt("x10"), 16);
    EXPECT_EQ(StrToInt("X10"), 16);
    EXPECT_EQ(StrToInt("0x10"), 16);
    EXPECT_EQ(StrToInt("-0XfF"), -255);
    EXPECT_EQ(StrToInt("2147483647"), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(StrToInt("-2147483648"), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(StrToInt64("9223372036854775807"), std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(StrToInt64("-9223372036854775808"), std::numeric_limits<std::int64_t>::min());
    EXPECT_EQ(StrToInt64("2147483648"), 2147483648LL);
    EXPECT_EQ(StrToInt64("$FFFFFFFF"), 4294967295LL);
}

TEST(IntegerText, RejectsEverythingElseWithTheTextInTheMessage) {
    for (const char* bad :
         {"",          " ",         "-",    "+",          "$",
          "0x",        "x",         "12 ",  "1 2",        "\t1",
          "1.0",       "--1",       "+-1",  "2147483648", "-2147483649",
          "$FFFFFFFF", "$80000000", "0x1G", "٣",          "00000000000000000002147483648"}) {
        try {
            StrToInt(bad);
            ADD_FAILURE() << "parsed: '" << bad << "'";
        } catch (const ConvertError& e) {
            EXPECT_EQ(e.Message(), "'" + std::string(bad) + Utf8ToCp932("' は整数ではありません"));
        }
    }
    EXPECT_THROW(StrToInt64("9223372036854775808"), ConvertError);
    EXPECT_THROW(StrToInt64("-9223372036854775809"), ConvertError);
    EXPECT_EQ(StrToInt("000000000000000000002147483647"),
              2147483647);  // leading zeros are no overflow
}

TEST(CaseFold, ComparesLettersOfEveryScriptIgnoringCase) {
    EXPECT_TRUE(SameTextIgnoringCase("PC-01", "pc-01"));
    EXPECT_TRUE(SameTextIgnoringCase("/Index.html", "/index.html"));
    EXPECT_FALSE(SameTextIgnoringCase("/index.html", "/index.htm"));
    // Full-width Ａ and ａ, Greek Α and α, Cyrillic Я and я.
    EXPECT_TRUE(SameTextIgnoringCase(Utf8ToCp932("ＡＢＣ"), Utf8ToCp932("ａｂｃ")));
    EXPECT_TRUE(SameTextIgnoringCase(Utf8ToCp932("ΑΒ"), Utf8ToCp932("αβ")));
    EXPECT_TRUE(SameTextIgnoringCase(Utf8ToCp932("Я"), Utf8ToCp932("я")));
    // Full-width letters are not the ASCII ones.
    EXPECT_FALSE(SameTextIgnoringCase(Utf8ToCp932("Ａ"), "a"));
    // The two byte forms of Ⅰ compare equal, and so does ⅰ.
    EXPECT_TRUE(SameTextIgnoringCase("\x87\x54", "\xFA\x4A"));
    EXPECT_TRUE(SameTextIgnoringCase("\x87\x54", Utf8ToCp932("ⅰ")));
    // Kana have no case.
    EXPECT_FALSE(SameTextIgnoringCase(Utf8ToCp932("あ"), Utf8ToCp932("ア")));
}

TEST(CaseFold, BytesThatDontDecodeCompareAsThemselves) {
    EXPECT_TRUE(
        SameTextIgnoringCase("\x80"
                             "A",
                             "\x80"
                             "a"));
    EXPECT_FALSE(SameTextIgnoringCase("\x80", "\x81"));
    EXPECT_FALSE(SameTextIgnoringCase("\xFF", "?"));
    // A lone lead byte at the end is one unit; decoding goes on after a bad pair.
    EXPECT_TRUE(SameTextIgnoringCase("A\x81", "a\x81"));
    EXPECT_TRUE(
        SameTextIgnoringCase("\x81\x7F"
                             "B",
                             "\x81\x7F"
                             "b"));
    EXPECT_FALSE(SameTextIgnoringCase("\x81\x7F", "\x81\x80"));
}

TEST(Errors, AFullStopFollowsTextsThatEndAboveIt) {
    EXPECT_EQ(WithFullStop("abc"), "abc.");
    EXPECT_EQ(WithFullStop("abc."), "abc.");
    EXPECT_EQ(WithFullStop("(3)"), "(3)");
    EXPECT_EQ(WithFullStop("a-"), "a-");
    EXPECT_EQ(WithFullStop("v1"), "v1.");
    EXPECT_EQ(WithFullStop(""), "");
    const std::string japanese = Utf8ToCp932("ではありません");
    EXPECT_EQ(WithFullStop(japanese), japanese + ".");
}

TEST(Cp932, RoundTripsJapaneseAndMarksWhatDoesntConvert) {
    EXPECT_EQ(Utf8ToCp932("あ"), "\x82\xA0");
    EXPECT_EQ(Cp932ToUtf8("\x82\xA0"), "あ");
    EXPECT_EQ(Utf8ToCp932("a😀b"), "a?b");
    EXPECT_EQ(Cp932ToUtf8("a\x80"
                          "b"),
              "a\xEF\xBF\xBD"
              "b");
}

// Every pair of a lead byte and a trail byte decodes as iconv decodes that
// pair alone.
TEST(Cp932, EveryPairDecodesAsIconvDecodesItAlone) {
    const iconv_t toUtf32 = iconv_open("UTF-32LE", "CP932");
    ASSERT_NE(toUtf32, reinterpret_cast<iconv_t>(-1));
    int codes = 0;
    for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
        if (lead > 0x9F && lead < 0xE0) continue;
        for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
            char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
            char* in = pair;
            std::size_t inLeft = 2;
            char out[8];
            char* to = out;
            std::size_t outLeft = sizeof out;
            iconv(toUtf32, nullptr, nullptr, nullptr, nullptr);
            const bool whole =
                iconv(toUtf32, &in, &inLeft, &to, &outLeft) != static_cast<std::size_t>(-1);
            const bool isCode = whole && to - out == 4 && trail != 0x7F;
            const Cp932Unit unit = DecodeCp932(std::string_view(pair, 2), 0);
            ASSERT_EQ(unit.length == 2, isCode) << std::hex << lead << ' ' << trail;
            if (!isCode) continue;
            std::uint32_t cp = 0;
            for (int i = 3; i >= 0; --i) cp = (cp << 8) | static_cast<unsigned char>(out[i]);
            ASSERT_EQ(unit.codePoint, cp) << std::hex << lead << ' ' << trail;
            ++codes;
        }
    }
    iconv_close(toUtf32);
    EXPECT_GT(codes, 7000);
}

TEST(TerminalText, ControlCharactersShowInsteadOfActing) {
    const struct {
        std::string_view text, shown;
    } cases[] = {
        {"plain ログ\tand\nlines", "plain ログ\tand\nlines"},
        {"\x1b]52;c;aGk=\x07", "\\x1b]52;c;aGk=\\x07"},  // sets the clipboard
        {"a\rb\x01-\x7f", "a\\x0db\\x01-\\x7f"},
        {std::string_view("z\0z", 3), "z\\x00z"},
        {"\xc2\x9b[2J \xc2\x80 \xc2\x9f \xc2\xa0", "\\x9b[2J \\x80 \\x9f \xc2\xa0"},  // C1; NBSP
        {"\x9b\xff \xe3\x81", "\\x9b\\xff \\xe3\\x81"},                               // not UTF-8
        {"\xc0\xaf \xed\xa0\x80", "\\xc0\\xaf \\xed\\xa0\\x80"},  // overlong, surrogate
        {"\xf0\x9f\x98\x80", "\xf0\x9f\x98\x80"},
    };
    for (const auto& c : cases) EXPECT_EQ(VisibleControls(c.text), c.shown) << c.text;
}
