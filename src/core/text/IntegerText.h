#pragma once
// Integer parsing of the hour and size fields: leading blanks (0x20 only),
// one optional sign, then decimal digits, or hexadecimal digits after "$",
// "x", "X", "0x" or "0X".  Nothing else may follow; the value must fit the
// signed range.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pomurina {

// The value, or nothing when text doesn't parse or lies outside [min, max].
std::optional<std::int64_t> ParseInteger(std::string_view text, std::int64_t min, std::int64_t max);

// Signed 32-bit; throws ConvertError "'%s' は整数ではありません" with the text.
std::int32_t StrToInt(std::string_view text);
// Signed 64-bit, with the same rules and error.
std::int64_t StrToInt64(std::string_view text);

// Plain decimal without separators.
std::string IntToStr(long long value);

}  // namespace pomurina
