#include "analysis/LineMarkers.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#if defined(__x86_64__)
#include <immintrin.h>
#elif defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "ProcessorFeatures.h"

namespace pomurina {
namespace {

// The eight bytes from q on as one little-endian word, zeros past the end
// (no marker holds a zero byte, so none can match there).
std::uint64_t WordAt(std::string_view line, std::size_t q) {
    std::uint64_t word = 0;
    if (q + 8 <= line.size())
        std::memcpy(&word, line.data() + q, 8);
    else
        for (std::size_t k = 0; q + k < line.size(); ++k)
            word |= static_cast<std::uint64_t>(static_cast<unsigned char>(line[q + k])) << (8 * k);
    return word;
}

// A marker's bytes as such a word, and the mask of its length.
template <std::size_t N>
constexpr std::uint64_t Word(const char (&text)[N]) {
    std::uint64_t word = 0;
    for (std::size_t k = 0; k + 1 < N; ++k)
        word |= static_cast<std::uint64_t>(static_cast<unsigned char>(text[k])) << (8 * k);
    return word;
}
constexpr std::uint64_t Bytes(unsigned count) {
    return (std::uint64_t{1} << (8 * count)) - 1;
}

void Keep(std::size_t& first, std::size_t at) {
    if (first == std::string_view::npos) first = at;
}

}  // namespace

__attribute__((always_inline)) inline void LineMarkers::AtQuote(std::string_view line,
                                                                std::size_t q) {
    const std::uint64_t w = WordAt(line, q);
    switch (static_cast<char>(w >> 8)) {
        case 'G':
            if ((w & Bytes(5)) == Word("\"GET ")) Keep(get, q);
            break;
        case 'P':
            if ((w & Bytes(5)) == Word("\"POST")) Keep(post, q);
            break;
        case '-':
            if (get != npos && q > get && (w & Bytes(3)) == Word("\"-\"")) Keep(dashQuotes, q);
            break;
        case ' ':
            if ((w & Bytes(5)) == Word("\" 200")) {
                Keep(size200, q);
                if ((w & Bytes(6)) == Word("\" 200 ")) Keep(status200, q);
            } else if ((w & Bytes(6)) == Word("\" 403 ")) {
                Keep(status403, q);
            } else if ((w & Bytes(6)) == Word("\" 404 ")) {
                Keep(status404, q);
            }
            if (get != npos && q > get && (w & Bytes(3)) == Word("\" \"")) Keep(agentQuotes, q);
            break;
        default:
            break;
    }
    // The blank of a blank-and-quote pair must lie in the request's rest too.
    if (get != npos && q > get + 1 && line[q - 1] == ' ') Keep(blankQuote, q - 1);
}

#if defined(__x86_64__)
namespace {

// Where the quotes, the blanks and the brackets are among 32 bytes, those
// before byte skip left out.
struct BlockMarks {
    std::uint32_t quotes, blanks, brackets;
};
__attribute__((target("avx2"), always_inline)) inline BlockMarks MarksOf(const char* bytes,
                                                                         unsigned skip) {
    const __m256i block = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(bytes));
    const __m256i quotes = _mm256_cmpeq_epi8(block, _mm256_set1_epi8('"'));
    const __m256i blanks = _mm256_cmpeq_epi8(block, _mm256_set1_epi8(' '));
    const __m256i brackets = _mm256_cmpeq_epi8(block, _mm256_set1_epi8('['));
    return {static_cast<std::uint32_t>(_mm256_movemask_epi8(quotes)) >> skip << skip,
            static_cast<std::uint32_t>(_mm256_movemask_epi8(blanks)) >> skip << skip,
            static_cast<std::uint32_t>(_mm256_movemask_epi8(brackets)) >> skip << skip};
}

}  // namespace

inline void LineMarkers::Take(std::string_view line, std::size_t at, std::uint32_t quotes,
                              std::uint32_t blanks, std::uint32_t brackets) {
    if (blank == npos && blanks) blank = at + static_cast<std::size_t>(__builtin_ctz(blanks));
    if (bracket == npos && brackets)
        bracket = at + static_cast<std::size_t>(__builtin_ctz(brackets));
    for (; quotes != 0; quotes &= quotes - 1)
        AtQuote(line, at + static_cast<std::size_t>(__builtin_ctz(quotes)));
}

// Thirty-two bytes at a time where the processor can, the whole line: its
// last bytes in a block that ends with it (the places already looked at left
// out), or, for a line shorter than a block, in a copy with zeros after it
// (no marker holds a zero byte).
__attribute__((target("avx2"))) void LineMarkers::FindWide(std::string_view line) {
    const char* const base = line.data();
    const std::size_t n = line.size();
    std::size_t i = 0;
    BlockMarks marks;
    for (; i + 32 <= n; i += 32) {
        marks = MarksOf(base + i, 0);
        Take(line, i, marks.quotes, marks.blanks, marks.brackets);
    }
    if (i == n) return;
    if (n >= 32) {
        marks = MarksOf(base + n - 32, static_cast<unsigned>(32 - (n - i)));
        Take(line, n - 32, marks.quotes, marks.blanks, marks.brackets);
        return;
    }
    char padded[32] = {};
    std::memcpy(padded, base, n);
    marks = MarksOf(padded, 0);
    Take(line, 0, marks.quotes, marks.blanks, marks.brackets);
}
#endif

void LineMarkers::Find(std::string_view line, bool wide) {
    static_cast<MarkerPlaces&>(*this) = MarkerPlaces{};
    const char* const base = line.data();
    const std::size_t n = line.size();
    std::size_t i = 0;
#if defined(__x86_64__)
    if (wide && ProcessorHasAvx2()) return FindWide(line);
#else
    (void)wide;
#endif
#if defined(__SSE2__)
    // Sixteen bytes at a time: the quotes in order, and the first blank and
    // bracket until they are found.
    const __m128i quote = _mm_set1_epi8('"');
    const __m128i space = _mm_set1_epi8(' ');
    const __m128i open = _mm_set1_epi8('[');
    for (; i + 16 <= n; i += 16) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(base + i));
        if (blank == npos) {
            const auto blanks =
                static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, space)));
            if (blanks) blank = i + static_cast<std::size_t>(__builtin_ctz(blanks));
        }
        if (bracket == npos) {
            const auto brackets =
                static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, open)));
            if (brackets) bracket = i + static_cast<std::size_t>(__builtin_ctz(brackets));
        }
        for (auto quotes = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, quote)));
             quotes != 0; quotes &= quotes - 1)
            AtQuote(line, i + static_cast<std::size_t>(__builtin_ctz(quotes)));
    }
#endif
    for (; i < n; ++i) {
        const char c = base[i];
        if (c == '"') AtQuote(line, i);
        if (c == ' ') Keep(blank, i);
        if (c == '[') Keep(bracket, i);
    }
}

}  // namespace pomurina
