// The markers of a line, found 16 or 32 bytes at a time, are those a plain
// search finds: on random lines of few bytes, so that markers overlap, fall
// on every place of a block and at the line's end.
#include <gtest/gtest.h>

#include <random>

#include "analysis/LineMarkers.h"

using namespace pomurina;

namespace {

constexpr std::size_t npos = std::string_view::npos;

// The first place at or after from where text begins.
std::size_t FirstAfter(std::string_view line, std::string_view text, std::size_t from) {
    return from == npos ? npos : line.find(text, from);
}

MarkerPlaces PlainMarkers(std::string_view line) {
    MarkerPlaces m;
    m.get = line.find("\"GET ");
    m.post = line.find("\"POST");
    m.status200 = line.find("\" 200 ");
    m.size200 = line.find("\" 200");
    m.status403 = line.find("\" 403 ");
    m.status404 = line.find("\" 404 ");
    // The rest only after the quote of "GET.
    const std::size_t afterGet = m.get == npos ? npos : m.get + 1;
    m.agentQuotes = FirstAfter(line, "\" \"", afterGet);
    m.dashQuotes = FirstAfter(line, "\"-\"", afterGet);
    m.blankQuote = FirstAfter(line, " \"", afterGet);
    m.blank = line.find(' ');
    m.bracket = line.find('[');
    return m;
}

TEST(LineMarkers, AreWhereAPlainSearchFindsThem) {
    const std::string alphabet = "\"\" [-GETPOS20435x";
    std::mt19937 random(28);
    for (int round = 0; round < 20000; ++round) {
        std::string line(random() % 100, 'x');
        for (char& c : line) c = alphabet[random() % alphabet.size()];
        const MarkerPlaces expected = PlainMarkers(line);
        for (const bool wide : {false, true}) {
            LineMarkers found;
            found.Find(line, wide);
            const auto fields = [](const MarkerPlaces& m) {
                return std::vector<std::size_t>{
                    m.get,         m.post,       m.status200,  m.size200, m.status403, m.status404,
                    m.agentQuotes, m.dashQuotes, m.blankQuote, m.blank,   m.bracket};
            };
            ASSERT_EQ(fields(found), fields(expected)) << (wide ? "wide" : "narrow") << " " << line;
        }
    }
}

}  // namespace
