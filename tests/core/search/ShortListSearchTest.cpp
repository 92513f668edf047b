// Both searches of short reference lists (by the entries' first bytes'
// half-bytes, 16 or 32 places at a time, and by their rarest bytes) find
// exactly what a plain search finds, at every place of a text, its end
// included.
#include <gtest/gtest.h>

#include <random>

#include "search/FingerprintSearch.h"
#include "search/RareByteSearch.h"

using namespace pomurina;

// The fingerprints taken 16 places at a time where 32 could be.
struct NarrowFingerprintSearch : FingerprintSearch {
    explicit NarrowFingerprintSearch(const std::vector<std::string>& entries)
        : FingerprintSearch(entries, false) {}
};

template <typename Search>
class ShortListSearch : public ::testing::Test {
protected:
    void SetUp() override {
        if constexpr (std::is_base_of_v<FingerprintSearch, Search>)
            if (!FingerprintSearch::Available()) GTEST_SKIP() << "no byte shuffle here";
    }
};
using Searches = ::testing::Types<FingerprintSearch, NarrowFingerprintSearch, RareByteSearch>;
TYPED_TEST_SUITE(ShortListSearch, Searches);

TYPED_TEST(ShortListSearch, AgreesWithAPlainSearch) {
    std::mt19937 random(11);
    // Few letters, so that entries overlap and share their halves; high bytes
    // and control bytes too.
    const std::string alphabet = "abAB\x82\xA0\x01\xF0 \"/";
    const auto word = [&](std::size_t least, std::size_t most) {
        std::string w;
        const std::size_t n = least + random() % (most - least + 1);
        for (std::size_t i = 0; i < n; ++i) w += alphabet[random() % alphabet.size()];
        return w;
    };
    for (int round = 0; round < 400; ++round) {
        std::vector<std::string> entries;
        const std::size_t size = 1 + random() % 47;
        for (std::size_t i = 0; i < size; ++i) entries.push_back(word(1, round % 3 ? 9 : 2));
        entries.push_back(entries.front());  // listed twice, counted twice
        const TypeParam search(entries);
        for (int t = 0; t < 25; ++t) {
            std::string text = word(0, 100);
            if (t % 5 == 0) text += entries[random() % entries.size()];  // at the very end
            if (t % 5 == 1) text.insert(0, entries[random() % entries.size()]);  // at the start
            std::size_t expected = 0;
            for (const auto& e : entries) expected += text.find(e) != std::string::npos;
            ASSERT_EQ(search.Scan(text, false), expected) << "round " << round << " text " << t;
            ASSERT_EQ(search.Scan(text, true), expected > 0 ? 1u : 0u);
        }
    }
}

TYPED_TEST(ShortListSearch, FindsRobotNamesInLogLines) {
    const TypeParam robots({"Googlebot", "bingbot", "Baiduspider", "YandexBot", "Applebot",
                            "AhrefsBot", "SemrushBot", "DotBot", "MJ12bot", "PetalBot", "GPTBot",
                            "CCBot", "Bytespider", "DuckDuckBot", "Sogou", "facebookexternalhit"});
    const std::string line =
        "66.249.66.1 - - [06/Dec/2026:09:15:02 +0900] \"GET /robots.txt HTTP/1.1\" 200 68 \"-\" "
        "\"Mozilla/5.0 (compatible; Googlebot/2.1; +http://www.google.com/bot.html)\"";
    EXPECT_EQ(robots.Scan(line, false), 1u);
    EXPECT_EQ(robots.Scan(line.substr(0, line.find("Googlebot") + 8), false), 0u);
    EXPECT_EQ(robots.Scan("facebookexternalhit/1.1 CCBot", false), 2u);
    EXPECT_EQ(robots.Scan("", true), 0u);
}
