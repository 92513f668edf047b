#pragma once
// The places of the double quotes of one line.  Most markers of a log line
// begin with a quote ("GET , " 200 , "-" ...), so one pass over the line
// finds them all and each marker is then looked up among a handful of places.
#include <cstddef>
#include <string_view>
#include <vector>

namespace pomurina {

class QuoteIndex {
public:
    // Indexes line; the index is valid until the next Reset.
    void Reset(std::string_view line);

    // 0-based offset of the first occurrence of marker (which begins with a
    // quote) that starts at or after from, or npos.
    std::size_t Find(std::string_view marker, std::size_t from = 0) const;
    // 0-based offset of the first blank-and-quote pair that starts at or after from, or npos.
    std::size_t FindBlankQuote(std::size_t from) const;

private:
    std::string_view m_line;
    std::vector<std::size_t> m_quotes;
};

}  // namespace pomurina
