#pragma once
// Texts compared without a call where they are short: most hosts, paths and
// list entries are, and a call to memcmp costs more than the comparison.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace pomurina {

// The 8 or 4 bytes at p as one number.
inline std::uint64_t Load8(const char* p) {
    std::uint64_t word;
    std::memcpy(&word, p, 8);
    return word;
}
inline std::uint32_t Load4(const char* p) {
    std::uint32_t word;
    std::memcpy(&word, p, 4);
    return word;
}

// The first and the last bytes of a text, up to eight each, as two numbers
// (the same bytes twice when the text is short): loads of a fixed size,
// overlapping, that need no call.
struct TextEnds {
    std::uint64_t first = 0, last = 0;
};
inline TextEnds EndsOf(std::string_view text) {
    const char* p = text.data();
    const std::size_t n = text.size();
    if (n >= 8) return {Load8(p), Load8(p + n - 8)};
    if (n >= 4) return {Load4(p), Load4(p + n - 4)};
    TextEnds ends;
    for (std::size_t i = 0; i < n; ++i)
        ends.first = ends.first << 8 | static_cast<unsigned char>(p[i]);
    return ends;
}

// Whether two texts are equal; short ones (most hosts and paths) compared
// by their ends, without a call.
inline bool SameBytes(std::string_view a, std::string_view b) {
    const std::size_t n = a.size();
    if (n != b.size()) return false;
    if (n > 16) return std::memcmp(a.data(), b.data(), n) == 0;
    const TextEnds x = EndsOf(a), y = EndsOf(b);
    return x.first == y.first && x.last == y.last;
}

}  // namespace pomurina
