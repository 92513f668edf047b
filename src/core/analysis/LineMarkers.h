#pragma once
// The markers of a log line that begin with a double quote ("GET , "POST,
// " 200 , "-" ...), the blank-and-quote pair, the first blank and the first
// bracket, found in one pass over the line.  A log line holds a handful of
// quotes, so this costs far less than searching the line once for every marker.
#include <cstddef>
#include <cstdint>
#include <string_view>

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
    std::size_t blank = npos;        // the first blank (the end of the host)
    std::size_t bracket = npos;      // the first "[" (the start of the time stamp)
};

class LineMarkers : public MarkerPlaces {
public:
    // Finds the markers of line, forgetting those of the line before.
    void Find(std::string_view line) { Find(line, true); }
    // The same, 32 bytes at a time when wide and the processor has AVX2,
    // else 16.
    void Find(std::string_view line, bool wide);

private:
    void AtQuote(std::string_view line, std::size_t q);
    void FindWide(std::string_view line);
    // Takes the markers among the places of a block (bit k: place at + k).
    void Take(std::string_view line, std::size_t at, std::uint32_t quotes, std::uint32_t blanks,
              std::uint32_t brackets);
};

}  // namespace pomurina
