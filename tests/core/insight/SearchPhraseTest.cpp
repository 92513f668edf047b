// Search phrases: one phrase whatever the engine's charset and the width of
// its letters, or none when the bytes aren't text.
#include <gtest/gtest.h>

#include "insight/SearchPhrase.h"

using namespace pomurina;

TEST(SearchPhrase, OnePhraseFromEveryCharsetAndWidth) {
    const struct {
        const char* value;
        const char* query;
        const char* phrase;  // "" when none is counted
    } cases[] = {
        // ラーメン in UTF-8, Shift-JIS and EUC-JP; half-width ﾗｰﾒﾝ.
        {"%E3%83%A9%E3%83%BC%E3%83%A1%E3%83%B3", "", "ラーメン"},
        {"%83%89%81%5B%83%81%83%93", "", "ラーメン"},
        {"%A5%E9%A1%BC%A5%E1%A5%F3", "", "ラーメン"},
        {"%EF%BE%97%EF%BD%B0%EF%BE%92%EF%BE%9D", "", "ラーメン"},
        {"%8E%D7%8E%B0%8E%D2%8E%DD", "", "ラーメン"},
        // The Shift-JIS half-width ﾗｰﾒﾝ is also EUC-JP (two kanji), which goes first
        // unless the query names the charset.
        {"%D7%B0%D2%DD", "", "廾叺"},
        {"%D7%B0%D2%DD", "q=x&ie=Shift_JIS", "ラーメン"},
        {"%D7%B0%D2%DD", "IE=cp932", "ラーメン"},
        {"%D7%B0%D2%DD", "ei=x-sjis&ie=utf-8", "ラーメン"},
        {"%D7%B0%D2%DD", "ie=latin1&ei=Windows-31J", "ラーメン"},
        {"%A5%E9", "ie=EUCJP", "ラ"},
        {"%A5%E9", "ie=utf8", ""},  // named, and not valid in it
        {"%E3%83%A9", "ie=euc-jp", ""},
        {"%E3%83%A9", "ie", "ラ"},  // an item without a value names nothing
        // Full-width letters, ASCII case, white space of every kind.
        {"%EF%BC%A1%EF%BD%90%EF%BD%81%EF%BD%83%EF%BD%88%EF%BD%85", "", "apache"},
        {"+%E3%80%80Apache%09%0A%C2%A0+LOG%E3%80%80", "", "apache log"},
        {"a%E2%80%8Bb", "", "a\u200Bb"},  // U+200B is no white space
        {"a%1Fb%1Cc", "",
         "a\x1F"
         "b\x1C"
         "c"},                       // nor are the separators
        {"%C3%84%C3%A9", "", "Äé"},  // only ASCII is lowercased
        {"%E2%91%A0", "", "1"},      // ① is 1 after NFKC
        // Percent escapes: a lone or broken one stays.
        {"100%", "", "100%"},
        {"%zz%4", "", "%zz%4"},
        {"%2B%2b+", "", "++"},
        // Bytes that are text in no charset, and phrases that are empty.
        {"%80", "", ""},
        {"%FD%FE", "", ""},
        {"%A0", "", ""},
        {"+%E3%80%80+", "", ""},
        {"", "", ""},
        // Shift-JIS with trail bytes 40-7E and 80-FC; the user-defined area counts.
        {"%83%40%83%80", "ie=sjis", "ァム"},
        {"%F0%40", "ie=sjis", "\uE000"},
        {"%81%7F", "ie=sjis", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.value) + " " + c.query);
        std::string phrase;
        const bool counted = ReadSearchPhrase(c.value, c.query, phrase);
        EXPECT_EQ(counted ? phrase : "", c.phrase);
    }
}
