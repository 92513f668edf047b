#include "text/IntegerText.h"

#include <limits>

#include "text/Errors.h"

namespace pomurina {
namespace {

int DigitValue(char c, bool hex) {
    if (c >= '0' && c <= '9') return c - '0';
    if (!hex) return -1;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
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
    const auto value = ParseInteger(text, std::numeric_limits<std::int32_t>::min(),
                                    std::numeric_limits<std::int32_t>::max());
    if (!value) throw ConvertError(IntegerErrorText(text));
    return static_cast<std::int32_t>(*value);
}

std::int64_t StrToInt64(std::string_view text) {
    const auto value = ParseInteger(text, std::numeric_limits<std::int64_t>::min(),
                                    std::numeric_limits<std::int64_t>::max());
    if (!value) throw ConvertError(IntegerErrorText(text));
    return *value;
}

std::string IntToStr(long long value) {
    return std::to_string(value);
}

}  // namespace pomurina
