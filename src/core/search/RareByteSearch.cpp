#include "search/RareByteSearch.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "search/ByteRank.h"

namespace pomurina {

RareByteSearch::RareByteSearch(const std::vector<std::string>& entries) {
    for (const auto& e : entries) {
        std::size_t rareAt = 0;
        for (std::size_t i = 1; i < e.size(); ++i)
            if (kByteRank[static_cast<unsigned char>(e[i])] <
                kByteRank[static_cast<unsigned char>(e[rareAt])])
                rareAt = i;
        const auto rare = static_cast<unsigned char>(e[rareAt]);
        if (m_byRareByte[rare].empty()) m_rareBytes += e[rareAt];
        m_byRareByte[rare].push_back(m_entries.size());
        m_entries.push_back({e, rareAt});
    }
}

bool RareByteSearch::MatchesAt(std::size_t k, std::string_view text, std::size_t at) const {
    const Entry& entry = m_entries[k];
    if (at < entry.rareAt || at - entry.rareAt + entry.text.size() > text.size()) return false;
    const char* const start = text.data() + at - entry.rareAt;
    return start[0] == entry.text[0] &&
           std::memcmp(start, entry.text.data(), entry.text.size()) == 0;
}

std::size_t RareByteSearch::Scan(std::string_view text, bool stopAtFirst) const {
    std::vector<bool> found;  // entries met, made on the first match
    std::size_t count = 0;
    // Checks the entries whose rare byte stands at text[at]; true to stop.
    const auto visit = [&](std::size_t at) {
        for (const std::size_t k : m_byRareByte[static_cast<unsigned char>(text[at])]) {
            if (!MatchesAt(k, text, at)) continue;
            if (stopAtFirst) return true;
            if (found.empty()) found.resize(m_entries.size());
            if (!found[k]) {
                found[k] = true;
                ++count;
            }
        }
        return false;
    };
    const char* const t = text.data();
    std::size_t i = 0;
#if defined(__SSE2__)
    // Sixteen places at a time, against every rare byte at once.
    if (m_rareBytes.size() <= 16) {
        __m128i rare[16];
        for (std::size_t r = 0; r < m_rareBytes.size(); ++r)
            rare[r] = _mm_set1_epi8(m_rareBytes[r]);
        for (; i + 16 <= text.size(); i += 16) {
            const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(t + i));
            __m128i hits = _mm_setzero_si128();
            for (std::size_t r = 0; r < m_rareBytes.size(); ++r)
                hits = _mm_or_si128(hits, _mm_cmpeq_epi8(block, rare[r]));
            for (auto mask = static_cast<unsigned>(_mm_movemask_epi8(hits)); mask != 0;
                 mask &= mask - 1)
                if (visit(i + static_cast<std::size_t>(__builtin_ctz(mask)))) return 1;
        }
    }
#endif
    for (; i < text.size(); ++i)
        if (!m_byRareByte[static_cast<unsigned char>(t[i])].empty() && visit(i)) return 1;
    return count;
}

}  // namespace pomurina
