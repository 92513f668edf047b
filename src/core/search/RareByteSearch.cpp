#include "search/RareByteSearch.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace pomurina {
namespace {

// How common each byte is in access logs, 0 the rarest (counted over real
// logs); only the speed of the search depends on it.
constexpr unsigned char kByteRank[256] = {
    0,   1,   227, 2,   3,   4,   152, 5,   6,   7,   202, 8,   153, 9,   10,  154, 11,  12,  13,
    14,  15,  16,  17,  18,  19,  20,  21,  22,  23,  24,  25,  26,  255, 167, 245, 170, 166, 212,
    175, 155, 210, 209, 164, 199, 191, 235, 252, 250, 253, 251, 246, 241, 233, 242, 237, 222, 224,
    230, 239, 215, 27,  183, 28,  182, 168, 207, 180, 192, 198, 219, 181, 216, 218, 185, 176, 201,
    193, 223, 189, 195, 220, 172, 178, 208, 238, 179, 184, 206, 190, 174, 169, 203, 171, 204, 29,
    188, 30,  243, 221, 234, 211, 249, 205, 217, 225, 247, 194, 213, 244, 226, 232, 248, 236, 177,
    229, 231, 240, 197, 186, 214, 200, 187, 196, 165, 151, 31,  173, 32,  156, 33,  34,  35,  36,
    37,  38,  39,  40,  41,  42,  43,  44,  45,  46,  47,  254, 157, 48,  49,  50,  51,  52,  53,
    54,  55,  56,  57,  158, 58,  59,  60,  61,  62,  63,  64,  65,  66,  67,  68,  69,  70,  71,
    72,  73,  74,  159, 75,  76,  228, 77,  78,  160, 79,  80,  81,  82,  83,  84,  85,  86,  87,
    88,  89,  90,  91,  92,  93,  161, 94,  95,  96,  97,  98,  99,  100, 101, 102, 103, 104, 105,
    106, 107, 108, 109, 110, 111, 112, 113, 114, 115, 162, 116, 117, 118, 119, 120, 163, 121, 122,
    123, 124, 125, 126, 127, 128, 129, 130, 131, 132, 133, 134, 135, 136, 137, 138, 139, 140, 141,
    142, 143, 144, 145, 146, 147, 148, 149, 150};

}  // namespace

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
