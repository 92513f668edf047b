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

// Calls emit(offset, length) for every line of text, in order; zero bytes
// are bytes like any other here.
template <typename Emit>
void SplitLines(std::string_view text, Emit&& emit) {
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
        emit(start, i - start);
        if (i < n && base[i] == '\r') ++i;
        if (i < n && base[i] == '\n') ++i;
    }
}

}  // namespace pomurina
