#pragma once
// Finding the next of one to three bytes in the short fields of a log line,
// sixteen bytes at a time: a library call costs more than the search itself
// in fields of a dozen bytes.  Falls back to a plain loop where SSE2 is missing.
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace pomurina {

// The first byte in [from, end) equal to a, b or c, or end.
inline const char* FindFirstOf(const char* from, const char* end, char a, char b, char c) {
#if defined(__SSE2__)
    const __m128i va = _mm_set1_epi8(a), vb = _mm_set1_epi8(b), vc = _mm_set1_epi8(c);
    for (; end - from >= 16; from += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from));
        const __m128i hits =
            _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(bytes, va), _mm_cmpeq_epi8(bytes, vb)),
                         _mm_cmpeq_epi8(bytes, vc));
        if (const int mask = _mm_movemask_epi8(hits))
            return from + __builtin_ctz(static_cast<unsigned>(mask));
    }
#endif
    for (; from < end; ++from)
        if (*from == a || *from == b || *from == c) return from;
    return end;
}

// The first byte in [from, end) equal to a, or end.
inline const char* FindByte(const char* from, const char* end, char a) {
#if defined(__SSE2__)
    const __m128i va = _mm_set1_epi8(a);
    for (; end - from >= 16; from += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from));
        if (const int mask = _mm_movemask_epi8(_mm_cmpeq_epi8(bytes, va)))
            return from + __builtin_ctz(static_cast<unsigned>(mask));
    }
#endif
    for (; from < end; ++from)
        if (*from == a) return from;
    return end;
}

}  // namespace pomurina
