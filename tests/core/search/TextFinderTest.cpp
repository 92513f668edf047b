// Finding typed text in Shift-JIS lines: character boundaries, case folding
// that never takes a double-byte character apart, and every match of random
// lines against a plain character-by-character reading.
#include <gtest/gtest.h>

#include <random>

#include "text/CaseFold.h"
#include "text/Cp932.h"
#include "search/TextFinder.h"

using namespace pomurina;

namespace {

std::string Sjis(const char* utf8) {
    return Utf8ToCp932(utf8);
}

std::vector<TextMatch> AllMatches(const TextFinder& finder, std::string_view line) {
    std::vector<TextMatch> matches;
    for (auto m = finder.FindIn(line); m; m = finder.FindIn(line, m->start + 1))
        matches.push_back(*m);
    return matches;
}

TEST(TextFinder, FindsJapaneseAsTypedWithByteOffsets) {
    const std::string line = Sjis("GET /検索/ポムリナ.html 検索");
    const TextFinder finder(Sjis("検索"), true);
    EXPECT_EQ(finder.FindIn(line), (TextMatch{5, 4}));
    EXPECT_EQ(finder.FindIn(line, 6), (TextMatch{line.size() - 4, 4}));
    EXPECT_EQ(finder.FindLastIn(line, std::string_view::npos), (TextMatch{line.size() - 4, 4}));
    EXPECT_EQ(finder.FindLastIn(line, line.size() - 4), (TextMatch{5, 4}));
    EXPECT_EQ(finder.FindLastIn(line, 5), std::nullopt);
    EXPECT_EQ(TextFinder("", true).FindIn(line), std::nullopt);
    EXPECT_EQ(TextFinder("", false).FindIn(line), std::nullopt);
}

TEST(TextFinder, NeverMatchesInsideADoubleByteCharacter) {
    // 表 is 95 5C and ア is 83 41: their trail bytes are "\" and "A".
    for (const bool matchCase : {true, false}) {
        SCOPED_TRACE(matchCase);
        const TextFinder backslash("\\", matchCase);
        EXPECT_EQ(AllMatches(backslash, Sjis("表\\表")), (std::vector<TextMatch>{{2, 1}}));
        const TextFinder letter("A", matchCase);
        EXPECT_EQ(AllMatches(letter, Sjis("アAア")), (std::vector<TextMatch>{{2, 1}}));
        // A needle that starts with a trail byte's value after a lead byte
        // that stands alone (81 20 is no character) still matches there.
        EXPECT_EQ(AllMatches(TextFinder(" x", matchCase), "\x81 x"),
                  (std::vector<TextMatch>{{1, 2}}));
        // 95 95 is one kanji: the 95 5C (表) that overlaps it is no character of the line.
        EXPECT_TRUE(AllMatches(TextFinder("\x95\x5C", matchCase), "\x95\x95\x5C").empty());
    }
}

TEST(TextFinder, IgnoringCaseFoldsLettersButNeverATrailByte) {
    const TextFinder bot("googlebot", false);
    EXPECT_EQ(bot.FindIn("Mozilla/5.0 (compatible; Googlebot/2.1)"), (TextMatch{25, 9}));
    EXPECT_EQ(TextFinder("googlebot", true).FindIn("(compatible; Googlebot/2.1)"), std::nullopt);
    // Full-width letters, Greek and Cyrillic fold as well.
    EXPECT_EQ(TextFinder(Sjis("ＡＢＣ"), false).FindIn(Sjis("xａｂｃ")), (TextMatch{1, 6}));
    EXPECT_EQ(TextFinder(Sjis("αβ"), false).FindIn(Sjis("ΑΒ")), (TextMatch{0, 4}));
    EXPECT_EQ(TextFinder(Sjis("Жж"), false).FindIn(Sjis("жЖ")), (TextMatch{0, 4}));
    // ア (83 41) and ャ (83 61) differ only in a trail byte that looks like A and a.
    EXPECT_EQ(TextFinder(Sjis("ア"), false).FindIn(Sjis("ャ")), std::nullopt);
    EXPECT_EQ(TextFinder(Sjis("ャ"), false).FindIn(Sjis("ア")), std::nullopt);
    EXPECT_EQ(TextFinder(Sjis("アa"), false).FindIn(Sjis("ャアA")), (TextMatch{2, 3}));
    // Kana and kanji have no case: ignoring it finds exactly the characters.
    EXPECT_EQ(TextFinder(Sjis("ポムリナ"), false).FindIn(Sjis("ぽむりな ポムリナ")),
              (TextMatch{9, 8}));
}

TEST(TextFinder, LongLinesAndMatchesOnEitherSideOfDoubleByteText) {
    // Long runs go through the sixteen-bytes-at-a-time scans; the boundary
    // reading must carry over from one candidate to the next.
    std::string line = std::string(40, 'g') + Sjis("表") + "\\" + std::string(40, 'G') + "gb";
    for (const bool matchCase : {true, false}) {
        const TextFinder finder("gb", matchCase);
        EXPECT_EQ(finder.FindIn(line), (TextMatch{line.size() - 2, 2}));
        EXPECT_EQ(AllMatches(TextFinder("\\", matchCase), line), (std::vector<TextMatch>{{42, 1}}));
    }
    EXPECT_EQ(AllMatches(TextFinder("gG", false), "gGg").size(), 2u);  // overlapping
}

// The plain reading: at every character start, compare the needle's
// characters (folded or not) with the line's.
std::vector<TextMatch> Reference(std::string_view needle, std::string_view line, bool matchCase) {
    const auto key = [&](std::string_view text, std::size_t at, std::size_t& length) {
        const Cp932Unit unit = DecodeCp932(text, at);
        length = unit.length;
        if (unit.codePoint == Cp932Unit::kInvalid)
            return 0x80000000u | static_cast<unsigned char>(text[at]);
        return matchCase ? unit.codePoint : SimpleCaseFold(unit.codePoint);
    };
    std::vector<TextMatch> matches;
    if (needle.empty()) return matches;
    for (std::size_t start = 0, step = 1; start < line.size(); start += step) {
        key(line, start, step);
        std::size_t p = start, q = 0, lp = 0, lq = 0;
        while (q < needle.size() && p < line.size() && key(line, p, lp) == key(needle, q, lq)) {
            p += lp;
            q += lq;
        }
        if (q == needle.size()) matches.push_back({start, p - start});
    }
    return matches;
}

TEST(TextFinder, AgreesWithACharacterByCharacterReadingOnRandomLines) {
    const std::vector<std::string> pieces = {
        "a",    "A",        "b",        "B",        "@",        "\\",
        " ",    Sjis("ア"), Sjis("ャ"), Sjis("Ａ"), Sjis("ａ"), Sjis("表"),
        "\x83", "\xB1",     Sjis("α"),  Sjis("Α"),  "\xFF",     "\x81\x20"};
    std::mt19937 random(17);
    const auto text = [&](int pieceCount) {
        std::string s;
        for (int i = 0; i < pieceCount; ++i) s += pieces[random() % pieces.size()];
        return s;
    };
    for (int round = 0; round < 3000; ++round) {
        const std::string needle = text(1 + static_cast<int>(random() % 3));
        const std::string line = text(static_cast<int>(random() % 40));
        for (const bool matchCase : {true, false}) {
            // Matching case compares bytes: only needles of whole characters
            // (as typed text always is) agree with the character reading.
            if (matchCase && needle.find('\x83') != std::string::npos) continue;
            ASSERT_EQ(AllMatches(TextFinder(needle, matchCase), line),
                      Reference(needle, line, matchCase))
                << "needle " << Cp932ToUtf8(needle) << " line " << Cp932ToUtf8(line) << " case "
                << matchCase;
        }
    }
}

}  // namespace
