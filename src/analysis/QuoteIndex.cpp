#include "analysis/QuoteIndex.h"

#include <algorithm>
#include <cstring>

namespace pomurina {

void QuoteIndex::Reset(std::string_view line) {
    m_line = line;
    m_quotes.clear();
    const char* const base = line.data();
    std::size_t at = 0;
    while (at < line.size()) {
        const void* hit = std::memchr(base + at, '"', line.size() - at);
        if (!hit) break;
        at = static_cast<std::size_t>(static_cast<const char*>(hit) - base);
        m_quotes.push_back(at++);
    }
}

std::size_t QuoteIndex::Find(std::string_view marker, std::size_t from) const {
    for (auto it = std::lower_bound(m_quotes.begin(), m_quotes.end(), from); it != m_quotes.end(); ++it) {
        // Markers are a few bytes long: a plain loop beats a call to memcmp.
        const std::size_t at = *it;
        if (m_line.size() - at < marker.size()) break;
        std::size_t k = 1;
        while (k < marker.size() && m_line[at + k] == marker[k]) ++k;
        if (k == marker.size()) return at;
    }
    return std::string_view::npos;
}

std::size_t QuoteIndex::FindBlankQuote(std::size_t from) const {
    for (auto it = std::lower_bound(m_quotes.begin(), m_quotes.end(), from + 1); it != m_quotes.end(); ++it)
        if (m_line[*it - 1] == ' ') return *it - 1;
    return std::string_view::npos;
}

}  // namespace pomurina
