#pragma once
// The markers of a log line that begin with a double quote ("GET , "POST,
// " 200 , "-" ...) and the blank-and-quote pair, found in one pass over the
// line's quotes.  A log line holds a handful of quotes, so this costs far
// less than searching the line once for every marker.
#include <cstddef>
#include <string_view>
#include <vector>

namespace pomurina {

// Where the markers stand: 0-based places of the first occurrence, or npos.
struct MarkerPlaces {
    static constexpr std::size_t npos = std::string_view::npos;
    std::size_t get = npos;        // "GET  (quote, GET, blank)
    std::size_t post = npos;       // "POST
    std::size_t status200 = npos;  // " 200  (with the blank after it)
    std::size_t size200 = npos;    // " 200  (without: where the size is read)
    std::size_t status403 = npos;  // " 403
    std::size_t status404 = npos;  // " 404
    // After the quote of "GET (in the request's rest), 0-based in the line:
    std::size_t agentQuotes = npos;  // " "  (quote, blank, quote)
    std::size_t dashQuotes = npos;   // "-"
    std::size_t blankQuote = npos;   // the blank of the first blank-and-quote
};

class LineMarkers : public MarkerPlaces {
public:
    // Finds the markers of line, forgetting those of the line before.
    void Find(std::string_view line);

private:
    std::vector<std::size_t> m_quotes;  // scratch, kept between lines
};

}  // namespace pomurina
