#pragma once
// A fast byte-wise search for short needles in log lines: candidate places
// are found sixteen bytes at a time by the needle's first and last bytes and
// then compared whole.  Falls back to a plain search where SSE2 is missing.
#include <cstddef>
#include <cstring>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace pomurina {

// 0-based offset of needle's first occurrence in text, or npos.  An empty
// needle is found at 0 (callers treat it separately).
inline std::size_t FindBytes(std::string_view text, std::string_view needle) {
    const std::size_t n = needle.size(), m = text.size();
    if (n == 0) return 0;
    if (n > m) return std::string_view::npos;
    const char* const t = text.data();
    if (n == 1) {
        const void* hit = std::memchr(t, needle[0], m);
        return hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - t)
                   : std::string_view::npos;
    }
    std::size_t i = 0;
    const std::size_t last = m - n;  // the last start that fits
#if defined(__SSE2__)
    const __m128i first = _mm_set1_epi8(needle[0]);
    const __m128i final = _mm_set1_epi8(needle[n - 1]);
    for (; i + 16 <= last + 1; i += 16) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(t + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(t + i + n - 1));
        auto mask = static_cast<unsigned>(
            _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(a, first), _mm_cmpeq_epi8(b, final))));
        while (mask != 0) {
            const std::size_t at = i + static_cast<std::size_t>(__builtin_ctz(mask));
            if (std::memcmp(t + at + 1, needle.data() + 1, n - 2) == 0) return at;
            mask &= mask - 1;
        }
    }
#endif
    for (; i <= last; ++i)
        if (t[i] == needle[0] && t[i + n - 1] == needle[n - 1] &&
            std::memcmp(t + i + 1, needle.data() + 1, n - 2) == 0)
            return i;
    return std::string_view::npos;
}

}  // namespace pomurina
