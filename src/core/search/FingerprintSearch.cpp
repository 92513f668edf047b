#include "search/FingerprintSearch.h"

#include <cstring>

#include "ProcessorFeatures.h"
#include "search/ByteRank.h"
#include "text/SameBytes.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define POMURINA_FINGERPRINTS 1
#endif

namespace pomurina {

bool FingerprintSearch::Available() {
#if defined(POMURINA_FINGERPRINTS)
    return ProcessorHasSsse3();
#else
    return false;
#endif
}

FingerprintSearch::FingerprintSearch(const std::vector<std::string>& entries, bool wide)
    : m_entries(entries), m_wide(wide && ProcessorHasAvx2()) {
    for (std::size_t e = 0; e < m_entries.size(); ++e) {
        const std::string& entry = m_entries[e];
        const std::size_t window = RarestWindow(entry);
        m_windows.push_back(window);
        const std::size_t group = e % kGroups;
        const auto bit = static_cast<std::uint8_t>(1u << group);
        m_groups[group].push_back(e);
        for (std::size_t k = 0; k < kPrefix; ++k) {
            if (window + k < entry.size()) {
                const auto byte = static_cast<unsigned char>(entry[window + k]);
                m_low[k][byte & 15] |= bit;
                m_high[k][byte >> 4] |= bit;
            } else {
                for (auto& halves : {&m_low[k], &m_high[k]})
                    for (std::uint8_t& groups : *halves) groups |= bit;
            }
        }
    }
}

std::size_t FingerprintSearch::RarestWindow(std::string_view entry) {
    std::size_t best = 0;
    unsigned bestRank = ~0u;
    for (std::size_t at = 0; at == 0 || at + kPrefix <= entry.size(); ++at) {
        unsigned rank = 0;
        for (std::size_t k = at; k < at + kPrefix && k < entry.size(); ++k)
            rank += kByteRank[static_cast<unsigned char>(entry[k])];
        if (rank < bestRank) {
            best = at;
            bestRank = rank;
        }
    }
    return best;
}

std::size_t FingerprintSearch::Scan(std::string_view text, bool stopAtFirst) const {
    return m_wide ? ScanWide(text, stopAtFirst) : ScanNarrow(text, stopAtFirst);
}

bool FingerprintSearch::Compare(std::string_view text, std::size_t at, std::uint64_t places,
                                const std::uint8_t* byPlace, bool stopAtFirst,
                                std::vector<bool>& found, std::size_t& count) const {
    const char* const t = text.data();
    const std::size_t n = text.size();
    for (std::uint64_t left = places; left != 0; left &= left - 1) {
        const auto place = static_cast<std::size_t>(__builtin_ctzll(left));
        const std::size_t window = at + place;
        for (unsigned g = byPlace[place]; g != 0; g &= g - 1) {
            for (const std::size_t e : m_groups[static_cast<std::size_t>(__builtin_ctz(g))]) {
                const std::string& entry = m_entries[e];
                if (window < m_windows[e]) continue;
                const std::size_t from = window - m_windows[e];
                if (from + entry.size() > n ||
                    !SameBytes(std::string_view(t + from, entry.size()), entry))
                    continue;
                if (stopAtFirst) {
                    count = 1;
                    return true;
                }
                if (found.empty()) found.resize(m_entries.size());
                if (!found[e]) {
                    found[e] = true;
                    ++count;
                }
            }
        }
    }
    return false;
}

#if defined(POMURINA_FINGERPRINTS)
namespace {

#define POMURINA_SHUFFLES __attribute__((target("ssse3"), always_inline)) inline
#define POMURINA_WIDE_SHUFFLES __attribute__((target("avx2"), always_inline)) inline

POMURINA_SHUFFLES __m128i Table(const std::array<std::uint8_t, 16>& groups) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(groups.data()));
}

// The groups allowed by both halves of each of the sixteen bytes from at.
POMURINA_SHUFFLES __m128i Allowed(const char* at, __m128i low, __m128i high) {
    const __m128i halves = _mm_set1_epi8(0x0F);
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
    return _mm_and_si128(_mm_shuffle_epi8(low, _mm_and_si128(bytes, halves)),
                         _mm_shuffle_epi8(high, _mm_and_si128(_mm_srli_epi16(bytes, 4), halves)));
}

// The same table in both halves of a 32-byte register (a shuffle stays in its half).
POMURINA_WIDE_SHUFFLES __m256i WideTable(const std::array<std::uint8_t, 16>& groups) {
    return _mm256_broadcastsi128_si256(Table(groups));
}

// The groups allowed at each of the 32 bytes from at.
POMURINA_WIDE_SHUFFLES __m256i WideAllowed(const char* at, __m256i low, __m256i high) {
    const __m256i halves = _mm256_set1_epi8(0x0F);
    const __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at));
    return _mm256_and_si256(
        _mm256_shuffle_epi8(low, _mm256_and_si256(bytes, halves)),
        _mm256_shuffle_epi8(high, _mm256_and_si256(_mm256_srli_epi16(bytes, 4), halves)));
}

}  // namespace

__attribute__((target("ssse3"))) std::size_t FingerprintSearch::ScanNarrow(std::string_view text,
                                                                           bool stopAtFirst) const {
    std::size_t count = 0;
    std::vector<bool> found;  // made at the first match that counts
    const char* const t = text.data();
    const std::size_t n = text.size();
    char padded[16 + kPrefix - 1];  // the last block, with zeros past the end
    const __m128i low0 = Table(m_low[0]), low1 = Table(m_low[1]), low2 = Table(m_low[2]);
    const __m128i high0 = Table(m_high[0]), high1 = Table(m_high[1]), high2 = Table(m_high[2]);
    for (std::size_t i = 0; i < n; i += 16) {
        const char* block = t + i;
        if (i + 16 + kPrefix - 1 > n) {
            std::memset(padded, 0, sizeof padded);
            std::memcpy(padded, t + i, n - i);
            block = padded;
        }
        // The groups that may begin at each of the sixteen places.
        const __m128i groups = _mm_and_si128(
            _mm_and_si128(Allowed(block, low0, high0), Allowed(block + 1, low1, high1)),
            Allowed(block + 2, low2, high2));
        const unsigned places =
            ~static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(groups, _mm_setzero_si128()))) &
            0xFFFF;
        if (places == 0) continue;
        alignas(16) std::uint8_t byPlace[16];
        _mm_store_si128(reinterpret_cast<__m128i*>(byPlace), groups);
        if (Compare(text, i, places, byPlace, stopAtFirst, found, count)) return count;
    }
    return count;
}

__attribute__((target("avx2"))) std::size_t FingerprintSearch::ScanWide(std::string_view text,
                                                                        bool stopAtFirst) const {
    std::size_t count = 0;
    std::vector<bool> found;
    const char* const t = text.data();
    const std::size_t n = text.size();
    char padded[32 + kPrefix - 1];
    const __m256i low0 = WideTable(m_low[0]), low1 = WideTable(m_low[1]),
                  low2 = WideTable(m_low[2]);
    const __m256i high0 = WideTable(m_high[0]), high1 = WideTable(m_high[1]),
                  high2 = WideTable(m_high[2]);
    for (std::size_t i = 0; i < n; i += 32) {
        const char* block = t + i;
        if (i + 32 + kPrefix - 1 > n) {
            std::memset(padded, 0, sizeof padded);
            std::memcpy(padded, t + i, n - i);
            block = padded;
        }
        const __m256i groups = _mm256_and_si256(
            _mm256_and_si256(WideAllowed(block, low0, high0), WideAllowed(block + 1, low1, high1)),
            WideAllowed(block + 2, low2, high2));
        const auto places = static_cast<std::uint32_t>(
            ~_mm256_movemask_epi8(_mm256_cmpeq_epi8(groups, _mm256_setzero_si256())));
        if (places == 0) continue;
        alignas(32) std::uint8_t byPlace[32];
        _mm256_store_si256(reinterpret_cast<__m256i*>(byPlace), groups);
        if (Compare(text, i, places, byPlace, stopAtFirst, found, count)) return count;
    }
    return count;
}
#else
std::size_t FingerprintSearch::ScanNarrow(std::string_view, bool) const {
    return 0;  // never made where Available() is false
}
std::size_t FingerprintSearch::ScanWide(std::string_view, bool) const {
    return 0;
}
#endif

}  // namespace pomurina
