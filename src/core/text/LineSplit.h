#pragma once
// How a text is split into lines wherever the program reads a text file:
// a line ends at CR, LF or CR LF; after a line's end one CR and then one LF
// are skipped, so LF CR makes two line ends; a line end at the very end adds
// no empty line; a final line without a line end still counts.  In a text
// list the first zero byte ends the text (UpToFirstZero); a log leaves its
// zero bytes out instead (LeaveOutZeroBytes).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <type_traits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace pomurina {

// The text up to (not including) its first zero byte.
inline std::string_view UpToFirstZero(std::string_view text) {
    if (text.empty()) return text;  // memchr may not be given a null pointer, even for no bytes
    const void* zero = std::memchr(text.data(), 0, text.size());
    return zero ? text.substr(
                      0, static_cast<std::size_t>(static_cast<const char*>(zero) - text.data()))
                : text;
}

// Leaves the zero bytes of the size bytes at text out, moving the rest down
// in place; the size left.  A zero-filled block (what a crash leaves where
// the last writes were lost) disappears, and the lines around it stay.
inline std::size_t LeaveOutZeroBytes(char* text, std::size_t size) {
    char* const first = size ? static_cast<char*>(std::memchr(text, 0, size)) : nullptr;
    return first ? static_cast<std::size_t>(std::remove(first, text + size, '\0') - text) : size;
}

namespace line_split {

// Calls emit, whether or not it returns a bool; false to stop.
template <typename Emit>
bool Call(Emit& emit, std::size_t start, std::size_t length, std::size_t end) {
    if constexpr (std::is_same_v<decltype(emit(start, length, end)), bool>) {
        return emit(start, length, end);
    } else {
        emit(start, length, end);
        return true;
    }
}

#if defined(__SSE2__)
// Bit k set where at[k] is a CR or an LF, for the 64 bytes from at.
inline std::uint64_t LineEndBytes(const char* at) {
    const __m128i cr = _mm_set1_epi8('\r'), lf = _mm_set1_epi8('\n');
    std::uint64_t ends = 0;
    for (std::size_t k = 0; k < 4; ++k) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at + 16 * k));
        const auto found = static_cast<unsigned>(
            _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(bytes, cr), _mm_cmpeq_epi8(bytes, lf))));
        ends |= std::uint64_t{found} << (16 * k);
    }
    return ends;
}
#endif

}  // namespace line_split

// Calls emit(offset, length, end) for every line of text, in order, end
// being where its line end ends (and the next line begins); zero bytes are
// bytes like any other here.  An emit that returns a bool stops the split
// by returning false.  The CRs and LFs of 64 bytes are found at once: a
// search per line cost more than the search itself on lines of 200 bytes.
template <typename Emit>
void SplitLineEnds(std::string_view text, Emit&& emit) {
    const char* const base = text.data();
    const std::size_t n = text.size();
    std::size_t start = 0;  // where the next line begins
    // The line that a CR or an LF at p ends; the LF of a CR LF goes with it.
    auto endAt = [&](std::size_t p) {
        std::size_t next = p + 1;
        if (base[p] == '\r' && next < n && base[next] == '\n') ++next;
        const std::size_t line = start;
        start = next;
        return line_split::Call(emit, line, p - line, next);
    };
    std::size_t block = 0;
#if defined(__SSE2__)
    for (; n - block >= 64; block += 64) {
        for (std::uint64_t ends = line_split::LineEndBytes(base + block); ends != 0;
             ends &= ends - 1) {
            const std::size_t p = block + static_cast<std::size_t>(__builtin_ctzll(ends));
            if (p >= start && !endAt(p)) return;  // below start: the LF of a CR LF
        }
    }
#endif
    for (std::size_t p = std::max(block, start); p < n; ++p)
        if ((base[p] == '\r' || base[p] == '\n') && p >= start && !endAt(p)) return;
    if (start < n) line_split::Call(emit, start, n - start, n);
}

// Calls emit(offset, length) for every line of text, in order.
template <typename Emit>
void SplitLines(std::string_view text, Emit&& emit) {
    SplitLineEnds(text,
                  [&](std::size_t start, std::size_t length, std::size_t) { emit(start, length); });
}

// How many line ends begin in text, the byte before it being before ('\0'
// for none): every CR, and every LF that doesn't follow a CR.  A text has as
// many lines as line ends, and one more when it ends inside a line.
inline std::size_t CountLineEnds(std::string_view text, char before) {
    std::size_t count = 0;
    char previous = before;
    for (const char c : text) {
        count += static_cast<std::size_t>(c == '\r' || (c == '\n' && previous != '\r'));
        previous = c;
    }
    return count;
}

}  // namespace pomurina
