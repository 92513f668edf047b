// The text helpers of the reports: which Shift-JIS comes back from its UTF-8,
// UTF-8 checks, base64, JSON strings and lines, HTML text and percentages.
#include <gtest/gtest.h>

#include <string>

#include "report/HourSvg.h"
#include "report/HtmlText.h"
#include "report/JsonText.h"
#include "text/Base64.h"
#include "text/Utf8Text.h"

using namespace pomurina;

namespace {

std::string Base64(std::string_view bytes) {
    std::string out;
    AppendBase64(bytes, out);
    return out;
}

std::string JsonLine(std::string_view sjis) {
    std::string out;
    AppendJsonLine(sjis, out);
    return out;
}

}  // namespace

TEST(Cp932RoundTrips, OnlyTheCodeThatConversionWritesComesBack) {
    EXPECT_TRUE(Cp932RoundTrips("plain ASCII ~\\"));
    EXPECT_TRUE(Cp932RoundTrips("\x82\xa0\x83\x41\xb1"));  // hiragana, katakana, half-width
    EXPECT_TRUE(Cp932RoundTrips(""));
    for (const char* broken : {"\xff", "\x80", "\xa0", "a\x82", "\x82\x20", "\xfd\x40"})
        EXPECT_FALSE(Cp932RoundTrips(broken)) << broken;
    // Characters with two codes (NEC row 13 and the NEC-selected IBM rows
    // against the IBM rows): exactly one of each pair converts back.
    const std::pair<const char*, const char*> pairs[] = {{"\xed\x40", "\xfa\x5c"},
                                                         {"\x87\x90", "\x81\xe0"},
                                                         {"\x87\x9a", "\x81\xe6"},
                                                         {"\xee\xf9", "\x81\xca"},
                                                         {"\xfa\x54", "\x81\xca"}};
    for (const auto& [a, b] : pairs) EXPECT_NE(Cp932RoundTrips(a), Cp932RoundTrips(b)) << a;
}

TEST(IsValidUtf8, RefusesOverlongFormsSurrogatesAndCutSequences) {
    for (const char* good : {"", "abc", "\xc2\xa0", "\xe3\x81\x82", "\xef\xbf\xbd",
                             "\xf0\x9f\x98\x80", "\xf4\x8f\xbf\xbf"})
        EXPECT_TRUE(IsValidUtf8(good)) << good;
    for (const char* bad :
         {"\x80", "\xc0\x80", "\xc1\xbf", "\xe0\x80\x80", "\xed\xa0\x80", "\xf0\x80\x80\x80",
          "\xf4\x90\x80\x80", "\xf5\x80\x80\x80", "\xe3\x81", "\xe3\x41\x82", "\xff"})
        EXPECT_FALSE(IsValidUtf8(bad)) << bad;
    std::string repaired;
    AppendValidUtf8(
        "a\xe3\x81"
        "b\xe3\x81\x82",
        repaired);
    EXPECT_EQ(repaired,
              "a\xef\xbf\xbd\xef\xbf\xbd"
              "b\xe3\x81\x82");
}

TEST(Base64, GivesTheStandardFormWithPadding) {
    EXPECT_EQ(Base64(""), "");
    EXPECT_EQ(Base64("f"), "Zg==");
    EXPECT_EQ(Base64("fo"), "Zm8=");
    EXPECT_EQ(Base64("foo"), "Zm9v");
    EXPECT_EQ(Base64("foobar"), "Zm9vYmFy");
    EXPECT_EQ(Base64(std::string("\xff\x00\xfe", 3)), "/wD+");
    EXPECT_EQ(Base64("\xfb\xff"), "+/8=");
}

TEST(JsonLine, EscapesWhatJsonMustAndConvertsShiftJis) {
    EXPECT_EQ(JsonLine("GET /a?b=\"c\"\\d"), R"("GET /a?b=\"c\"\\d")");
    EXPECT_EQ(JsonLine("a\tb\x01\x1f\x7f"), "\"a\\tb\\u0001\\u001f\x7f\"");
    EXPECT_EQ(JsonLine("\x82\xa0\xb1"), "\"\xe3\x81\x82\xef\xbd\xb1\"");
    EXPECT_EQ(JsonLine(""), "\"\"");
}

TEST(JsonLine, ALineThatDoesntComeBackCarriesItsExactBytes) {
    EXPECT_EQ(JsonLine("/\xff"), R"({"text": "/)"
                                 "\xef\xbf\xbd"
                                 R"(", "bytes": "L/8="})");
    // The NEC form of a kanji converts to a character whose code is another.
    EXPECT_EQ(JsonLine("\xed\x40"), R"({"text": ")"
                                    "\xe7\xba\x8a"
                                    R"(", "bytes": "7UA="})");
    std::string path;
    AppendJsonUtf8("/tmp/\xe3\x81\x82\"\n\xff", path);
    EXPECT_EQ(path, "\"/tmp/\xe3\x81\x82\\\"\\n\xef\xbf\xbd\"");
}

TEST(HtmlText, EscapesMarkupAndCutsBetweenCharacters) {
    std::string out;
    AppendHtmlSjis("<script>&\"x\"\x01\x82\xa0", out);
    EXPECT_EQ(out, "&lt;script&gt;&amp;&quot;x&quot;\xef\xbf\xbd\xe3\x81\x82");
    EXPECT_EQ(FirstBytes("ab\x82\xa0\x82\xa2", 3), "ab");  // never half a character
    EXPECT_EQ(FirstBytes("ab\x82\xa0\x82\xa2", 4), "ab\x82\xa0");
    EXPECT_EQ(FirstBytes("abc", 3), "abc");
    EXPECT_EQ(FirstBytes("a\xff\xff", 2), "a\xff");  // a stray byte is one character
}

TEST(PercentText, RoundsToTheNearestTenth) {
    EXPECT_EQ(PercentText(1, 3), "33.3%");
    EXPECT_EQ(PercentText(2, 3), "66.7%");
    EXPECT_EQ(PercentText(1, 2000), "0.1%");
    EXPECT_EQ(PercentText(1, 2001), "0.0%");
    EXPECT_EQ(PercentText(7, 7), "100.0%");
    EXPECT_EQ(PercentText(0, 0), "0.0%");
}
