#pragma once
// 16-bit characters to Shift-JIS (code page 932) through the platform's table.
#include <string>
#include <string_view>

namespace pomurina {

// Converts 16-bit characters to code page 932; each character it cannot
// represent becomes one '?'.  A high surrogate followed by a low one is one
// character (one '?'); a lone surrogate is one '?' too.
std::string Utf16ToCp932(std::u16string_view units);

}  // namespace pomurina
