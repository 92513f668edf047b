#pragma once
// Conversions between the program's Shift-JIS text (code page 932) and the
// UTF-8 of the source code, the file system and the toolkit.
#include <cstdint>
#include <string>
#include <string_view>

namespace pomurina {

// UTF-8 to code page 932; characters it cannot represent become '?'.
std::string Utf8ToCp932(std::string_view utf8);

// Code points to code page 932; each one it cannot represent becomes '?'.
std::string CodePointsToCp932(std::u32string_view codePoints);

// Code page 932 to UTF-8; a byte that doesn't decode becomes U+FFFD.
std::string Cp932ToUtf8(std::string_view sjis);

// Appends the UTF-8 bytes of a code point.
void AppendUtf8(std::uint32_t codePoint, std::string& out);

// One decoded unit of code page 932 text.
struct Cp932Unit {
    std::uint32_t codePoint;  // kInvalid when the byte doesn't decode
    std::size_t length;       // bytes consumed: 1 or 2
    static constexpr std::uint32_t kInvalid = 0xFFFFFFFFu;
};

// Decodes the unit that starts at text[at] (at < text.size()).  A byte that
// doesn't decode is one unit of one byte; decoding goes on at the next byte.
Cp932Unit DecodeCp932(std::string_view text, std::size_t at);

}  // namespace pomurina
