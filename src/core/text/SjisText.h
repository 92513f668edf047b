#pragma once
// Byte-string text: every string is Shift-JIS (code page 932) bytes, positions
// are 1-based byte positions and searches are byte-wise and case-sensitive.
#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

#include "text/ByteSearch.h"

namespace pomurina {

// 1-based position of the first occurrence of needle in text, 0 when absent.
// An empty needle is never found; an ASCII needle may match a trail byte.
inline std::size_t Pos(std::string_view needle, std::string_view text) {
    if (needle.empty()) return 0;
    const std::size_t at = FindBytes(text, needle);
    return at == std::string_view::npos ? 0 : at + 1;
}

// Whether text contains needle (an empty needle is never contained).
inline bool Contains(std::string_view text, std::string_view needle) {
    return Pos(needle, text) != 0;
}

// count characters of s from the 1-based index: a start below 1 counts as 1,
// a start beyond the end or a count of zero or below gives the empty text,
// a count running past the end stops at the end.
inline std::string_view Copy(std::string_view s, long long index, long long count) {
    if (index < 1) index = 1;
    if (count <= 0 || index > static_cast<long long>(s.size())) return {};
    const auto start = static_cast<std::size_t>(index - 1);
    const std::size_t available = s.size() - start;
    const std::size_t n = static_cast<unsigned long long>(count) < available
                              ? static_cast<std::size_t>(count)
                              : available;
    return s.substr(start, n);
}

}  // namespace pomurina
