// Reference-list search: every strategy agrees with a plain search.
#include <gtest/gtest.h>

#include <random>

#include "search/PatternSet.h"

using namespace pomurina;

namespace {

std::size_t PlainCount(const std::vector<std::string>& entries, const std::string& text) {
    std::size_t count = 0;
    for (const auto& e : entries)
        if (!e.empty() && text.find(e) != std::string::npos) ++count;
    return count;
}

}  // namespace

TEST(PatternSet, ShortAndLongListsAgreeWithAPlainSearch) {
    std::mt19937 random(7);
    const std::string alphabet = "ab\x82\xA0 \"";
    auto word = [&](std::size_t maxLength) {
        std::string w;
        const std::size_t n = random() % maxLength;
        for (std::size_t i = 0; i < n; ++i) w += alphabet[random() % alphabet.size()];
        return w;
    };
    for (int round = 0; round < 300; ++round) {
        std::vector<std::string> entries;
        const std::size_t size = round % 2 ? random() % 8 : 48 + random() % 40;  // both strategies
        for (std::size_t i = 0; i < size; ++i) entries.push_back(word(6));
        if (size > 2) entries.push_back(entries[1]);  // a duplicate counts twice
        const PatternSet set(entries);
        for (int t = 0; t < 20; ++t) {
            const std::string text = word(40);
            const std::size_t expected = PlainCount(entries, text);
            ASSERT_EQ(set.CountIn(text), expected) << "round " << round;
            ASSERT_EQ(set.AnyIn(text), expected > 0);
        }
    }
}

TEST(PatternSet, EmptyEntriesAndTextsMatchNothing) {
    EXPECT_FALSE(PatternSet({""}).AnyIn("anything"));
    EXPECT_FALSE(PatternSet({"a"}).AnyIn(""));
    EXPECT_EQ(PatternSet({"ab", "b", "abc"}).CountIn("xabcx"), 3u);
    EXPECT_EQ(PatternSet({"Bot"}).CountIn("bot"), 0u);
}

// Lists of thousands of entries that share prefixes and end inside each other
// (the automaton's failure links and reports), with lines that hold more than
// a hundred distinct entries at once.
TEST(PatternSet, LargeOverlappingListsAgreeWithAPlainSearch) {
    std::mt19937 random(11);
    std::vector<std::string> every;  // every text over "ab" of 1 to 6 bytes
    for (std::size_t length = 1; length <= 6; ++length)
        for (unsigned bits = 0; bits < (1u << length); ++bits) {
            std::string e;
            for (std::size_t i = 0; i < length; ++i) e += (bits >> i) & 1 ? 'b' : 'a';
            every.push_back(e);
        }
    const std::string alphabet = "ab\x82\xA0\xFF.";
    std::vector<std::string> mixed;
    for (int i = 0; i < 3000; ++i) {
        std::string e;
        for (std::size_t n = 1 + random() % 12; n > 0; --n) e += alphabet[random() % 3];
        mixed.push_back(e);
    }
    mixed.push_back(mixed.front());
    for (const auto* entries : {&every, &mixed}) {
        const PatternSet set(*entries);
        for (int t = 0; t < 40; ++t) {
            std::string text;
            for (std::size_t n = random() % 200; n > 0; --n)
                text += alphabet[random() % alphabet.size()];
            const std::size_t expected = PlainCount(*entries, text);
            ASSERT_EQ(set.CountIn(text), expected) << text;
            ASSERT_EQ(set.AnyIn(text), expected > 0);
        }
    }
    std::string ab;
    for (int i = 0; i < 300; ++i) ab += "ab"[random() % 2];
    EXPECT_GT(PlainCount(every, ab), 100u);
    EXPECT_EQ(PatternSet(every).CountIn(ab), PlainCount(every, ab));
}
