// Reference-list search: every strategy agrees with a plain search.
#include <gtest/gtest.h>

#include <random>

#include "analysis/PatternSet.h"

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
