#pragma once
// How a text is split into lines wherever the program reads a text file:
// a line ends at CR, LF or CR LF; after a line's end one CR and then one LF
// are skipped, so LF CR makes two line ends; a line end at the very end adds
// no empty line; a final line without a line end still counts.  In a text
// list the first zero byte ends the text (UpToFirstZero); a log leaves its
// zero bytes out instead (LeaveOutZeroBytes).
#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string_view>
#include <type_traits>

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

// Calls emit(offset, length, end) for every line of text, in order, end
// being where its line end ends (and the next line begins); zero bytes are
// bytes like any other here.  An emit that returns a bool stops the split
// by returning false.
template <typename Emit>
void SplitLineEnds(std::string_view text, Emit&& emit) {
    const char* const base = text.data();
    const std::size_t n = text.size();
    // The next CR is looked for once and reused until passed: most texts have
    // none, and then each line costs one search for its LF.
    auto next = [&](char c, std::size_t from) {
        const void* hit = std::memchr(base + from, c, n - from);
        return hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - base) : n;
    };
    std::size_t nextCr = next('\r', 0);
    std::size_t i = 0;
    while (i < n) {
        const std::size_t start = i;
        if (nextCr < start) nextCr = next('\r', start);
        const std::size_t lf = next('\n', start);
        i = lf < nextCr ? lf : nextCr;
        const std::size_t length = i - start;
        if (i < n && base[i] == '\r') ++i;
        if (i < n && base[i] == '\n') ++i;
        if constexpr (std::is_same_v<decltype(emit(start, length, i)), bool>) {
            if (!emit(start, length, i)) return;
        } else {
            emit(start, length, i);
        }
    }
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
