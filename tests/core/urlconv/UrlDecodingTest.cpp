#include <gtest/gtest.h>

#include <string>

#include "text/Cp932.h"
#include "Errors.h"
#include "urlconv/UrlDecoding.h"

namespace pomurina {
namespace {

using namespace std::string_literals;

// The message of the ConvertError that decoding text raises, or "" when none.
std::string DecodeError(std::string_view text) {
    try {
        URLDecode(text);
    } catch (const ConvertError& e) {
        return e.Message();
    }
    return "";
}

TEST(HexCharToInt, DigitsOfBothCasesAndNothingElse) {
    EXPECT_EQ(HexCharToInt('0'), 0);
    EXPECT_EQ(HexCharToInt('9'), 9);
    EXPECT_EQ(HexCharToInt('A'), 10);
    EXPECT_EQ(HexCharToInt('f'), 15);
    // Neighbours of the digit ranges and a Shift-JIS lead byte.
    for (const char c : "/:@G`g% \x82"s) {
        try {
            HexCharToInt(c);
            ADD_FAILURE() << "no error for byte " << int(static_cast<unsigned char>(c));
        } catch (const ConvertError& e) {
            EXPECT_EQ(e.Message(), Utf8ToCp932("不正な16進数文字"));
        }
    }
}

TEST(HexToInt, ReadsLeftToRightAndEmptyIsZero) {
    EXPECT_EQ(HexToInt(""), 0);
    EXPECT_EQ(HexToInt("4"), 4);
    EXPECT_EQ(HexToInt("fF"), 255);
    EXPECT_EQ(HexToInt("1a"), 26);
    EXPECT_THROW(HexToInt("1G"), ConvertError);
}

TEST(URLDecode, PercentEscapesAndPlainBytes) {
    const struct {
        std::string input, expected;
    } cases[] = {
        {"%E3%81%82", "\x82\xA0"},  // hiragana a
        {"%e3%81%82", "\x82\xA0"},
        {"x+y%20z", "x+y z"},  // "+" is no blank here
        {"%41%42Z", "ABZ"},
        {"/index.html?q=a b&c", "/index.html?q=a b&c"},
        {"", ""},
        {"%4", "\x04"},      // fewer than two digits at the end
        {"100%", "100\0"s},  // a lone "%" at the end is a zero byte
        {"a%00b", "a\0b"s},
        {"%0D%0A", "\r\n"},
        {"%E6%A4%9C%E7%B4%A2+%E3%83%AF%E3%83%BC%E3%83%89", Utf8ToCp932("検索+ワード")},
    };
    for (const auto& c : cases) EXPECT_EQ(URLDecode(c.input), c.expected) << c.input;
}

TEST(URLDecode, NonHexDigitAfterPercentFails) {
    const std::string message = Utf8ToCp932("不正なURL");
    EXPECT_EQ(DecodeError("%G1"), message);
    EXPECT_EQ(DecodeError("%%41"), message);  // the digits taken are "%" and "4"
    EXPECT_EQ(DecodeError("ok%ZZ"), message);
    EXPECT_EQ(DecodeError("%4Z"), message);
    EXPECT_EQ(DecodeError("%\x82\xA0"), message);
    EXPECT_EQ(DecodeError("%"), "");
}

TEST(URLDecode, OwnUtf8Reading) {
    const struct {
        std::string input, expected;
    } cases[] = {
        {"%E3%81", ""},            // cut short: the whole line is empty
        {"abc%E3", ""},            // ends inside a sequence
        {"%E3A%82", ""},           // a trail byte that isn't 10xxxxxx
        {"%CE%B1", "\x83\xBF"},    // two bytes: Greek alpha
        {"%C1%81", "A"},           // an over-long form is read all the same
        {"%80%80", "\0"s},         // 80-9F start two-byte sequences
        {"%F0%9F%98", "?"},        // a four-byte start is read as three: U+07D8
        {"%F0%9F%98%80", ""},      // ... leaving a lone 80 that has no trail
        {"\x82\xA0", "?"},         // Shift-JIS read as UTF-8: U+00A0
        {"%C2%A0a%C2%A0", "?a?"},  // one '?' per character, conversion goes on
        {"%EF%BD%B1", "\xB1"},     // half-width katakana: one byte
    };
    for (const auto& c : cases) EXPECT_EQ(URLDecode(c.input), c.expected) << c.input;
}

TEST(URLDecode, SurrogatesBecomeOneQuestionMarkEach) {
    EXPECT_EQ(URLDecode("%ED%A0%BD%ED%B8%80"), "?");   // a pair: one character
    EXPECT_EQ(URLDecode("a%ED%A0%BDb"), "a?b");        // a lone high one
    EXPECT_EQ(URLDecode("%ED%B8%80%ED%A0%BD"), "??");  // low before high: two lone ones
    EXPECT_EQ(URLDecode("%ED%A0%BD%ED%A0%BD%ED%B8%80"), "??");
    EXPECT_EQ(URLDecode("%ED%A0%BD"), "?");  // high at the very end
}

TEST(URLDecode, ExtendedKanjiTakeTheIbmCodes) {
    EXPECT_EQ(URLDecode("%E2%85%B0"), "\xFA\x40");  // small roman numeral one
    EXPECT_EQ(URLDecode("%E7%BA%8A"), "\xFA\x5C");  // 纊
    EXPECT_EQ(URLDecode("%EF%BF%A2"), "\x81\xCA");  // fullwidth not sign
    EXPECT_EQ(URLDecode("%E2%91%A0"), "\x87\x40");  // circled digit one
    EXPECT_EQ(URLDecode("%EF%BD%9E"), "\x81\x60");  // fullwidth tilde
}

}  // namespace
}  // namespace pomurina
