#include "text/IntegerText.h"

#include <climits>
#include <limits>

#include "Errors.h"

namespace pomurina {
namespace {

int DigitValue(char c, bool hex) {
    if (c >= '0' && c <= '9') return c - '0';
    if (!hex) return -1;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Plain decimal digits, the form of nearly every hour and size, read without
// the general rules; nothing when text has any other form or 19 digits or more.
std::optional<std::int64_t> PlainDecimal(std::string_view text) {
    if (text.empty() || text.size() > 18) return std::nullopt;
    std::int64_t value = 0;
    for (const char c : text) {
        const auto digit = static_cast<unsigned>(c - '0');
        if (digit > 9) return std::nullopt;
        value = value * 10 + digit;
    }
    return value;
}

}  // namespace

std::optional<std::int64_t> ParseInteger(std::string_view text, std::int64_t min,
                                         std::int64_t max) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    bool hex = false;
    if (i < text.size() && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
        hex = true;
        ++i;
    } else if (i + 1 < text.size() && text[i] == '0' &&
               (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        hex = true;
        i += 2;
    }
    if (i == text.size()) return std::nullopt;  // no digit at all
    // The magnitude may reach 2^63 (the most negative value).
    const std::uint64_t limit =
        negative ? static_cast<std::uint64_t>(-(min + 1)) + 1 : static_cast<std::uint64_t>(max);
    const unsigned base = hex ? 16 : 10;
    std::uint64_t magnitude = 0;
    for (; i < text.size(); ++i) {
        const int digit = DigitValue(text[i], hex);
        if (digit < 0) return std::nullopt;
        if (magnitude > (limit - static_cast<unsigned>(digit)) / base) return std::nullopt;
        magnitude = magnitude * base + static_cast<unsigned>(digit);
    }
    if (!negative) return static_cast<std::int64_t>(magnitude);
    return magnitude == 0 ? 0 : -static_cast<std::int64_t>(magnitude - 1) - 1;
}

std::int32_t StrToInt(std::string_view text) {
    if (const auto plain = PlainDecimal(text); plain && *plain <= INT32_MAX)
        return static_cast<std::int32_t>(*plain);
    const auto value = ParseInteger(text, std::numeric_limits<std::int32_t>::min(),
                                    std::numeric_limits<std::int32_t>::max());
    if (!value) throw ConvertError(IntegerErrorText(text));
    return static_cast<std::int32_t>(*value);
}

std::int64_t StrToInt64(std::string_view text) {
    if (const auto plain = PlainDecimal(text)) return *plain;
    const auto value = ParseInteger(text, std::numeric_limits<std::int64_t>::min(),
                                    std::numeric_limits<std::int64_t>::max());
    if (!value) throw ConvertError(IntegerErrorText(text));
    return *value;
}

std::string IntToStr(long long value) {
    return std::to_string(value);
}

}  // namespace pomurina
