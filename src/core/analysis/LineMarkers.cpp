#include "analysis/LineMarkers.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace pomurina {
namespace {

// Whether marker (after its quote) follows the quote at q.
bool After(std::string_view line, std::size_t q, std::string_view marker) {
    if (line.size() - q - 1 < marker.size()) return false;
    // A few bytes: a plain loop beats a call to memcmp.
    for (std::size_t k = 0; k < marker.size(); ++k)
        if (line[q + 1 + k] != marker[k]) return false;
    return true;
}

void Keep(std::size_t& first, std::size_t at) {
    if (first == std::string_view::npos) first = at;
}

}  // namespace

void LineMarkers::Find(std::string_view line) {
    static_cast<MarkerPlaces&>(*this) = MarkerPlaces{};
    m_quotes.clear();
    const char* const base = line.data();
    const std::size_t n = line.size();
    std::size_t i = 0;
#if defined(__SSE2__)
    // Sixteen bytes at a time.
    const __m128i quote = _mm_set1_epi8('"');
    for (; i + 16 <= n; i += 16) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(base + i));
        for (unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, quote)));
             mask != 0; mask &= mask - 1)
            m_quotes.push_back(i + static_cast<std::size_t>(__builtin_ctz(mask)));
    }
#endif
    for (; i < n; ++i)
        if (base[i] == '"') m_quotes.push_back(i);

    for (const std::size_t q : m_quotes) {
        const char next = q + 1 < n ? base[q + 1] : '\0';
        switch (next) {
            case 'G':
                if (After(line, q, "GET ")) Keep(get, q);
                break;
            case 'P':
                if (After(line, q, "POST")) Keep(post, q);
                break;
            case '-':
                if (get != npos && q > get && After(line, q, "-\"")) Keep(dashQuotes, q);
                break;
            case ' ':
                if (After(line, q, " 200")) {
                    Keep(size200, q);
                    if (After(line, q, " 200 ")) Keep(status200, q);
                } else if (After(line, q, " 403 ")) {
                    Keep(status403, q);
                } else if (After(line, q, " 404 ")) {
                    Keep(status404, q);
                }
                if (get != npos && q > get && After(line, q, " \"")) Keep(agentQuotes, q);
                break;
            default:
                break;
        }
        // The blank of a blank-and-quote pair must lie in the request's rest too.
        if (get != npos && q > get + 1 && base[q - 1] == ' ') Keep(blankQuote, q - 1);
    }
}

}  // namespace pomurina
