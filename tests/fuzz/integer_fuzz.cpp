// Integer parsing against a slow, separate reading of the same rules.
#include <cstdint>
#include <optional>
#include <string>

#include "FuzzCheck.h"
#include "Errors.h"
#include "text/IntegerText.h"

using namespace pomurina;

namespace {

__extension__ typedef __int128 Wide;  // room for every value a digit run can reach before the check

// Blanks, a sign, a prefix, digits; the value grows digit by digit in a
// 128-bit integer, so nothing overflows before the range check.
std::optional<Wide> SlowParse(const std::string& s, Wide min, Wide max) {
    std::size_t i = s.find_first_not_of(' ');
    if (i == std::string::npos) return std::nullopt;
    bool negative = false;
    if (s[i] == '+' || s[i] == '-') negative = s[i++] == '-';
    int base = 10;
    if (s.compare(i, 1, "$") == 0 || s.compare(i, 1, "x") == 0 || s.compare(i, 1, "X") == 0) {
        base = 16;
        i += 1;
    } else if (s.compare(i, 2, "0x") == 0 || s.compare(i, 2, "0X") == 0) {
        base = 16;
        i += 2;
    }
    if (i >= s.size()) return std::nullopt;
    Wide value = 0;
    for (; i < s.size(); ++i) {
        const std::string digits = base == 16 ? "0123456789abcdefABCDEF" : "0123456789";
        const std::size_t d = digits.find(s[i]);
        if (d == std::string::npos) return std::nullopt;
        value = value * base + static_cast<int>(d < 16 ? d : d - 6);
        if (value > max + 1) return std::nullopt;  // already beyond either end
    }
    if (negative) value = -value;
    if (value < min || value > max) return std::nullopt;
    return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const auto slow32 = SlowParse(text, INT32_MIN, INT32_MAX);
    try {
        const std::int32_t value = StrToInt(text);
        FUZZ_CHECK(slow32 && *slow32 == value);
    } catch (const ConvertError& e) {
        FUZZ_CHECK(!slow32);
        FUZZ_CHECK(e.Message() == IntegerErrorText(text));
    }
    const auto slow64 = SlowParse(text, INT64_MIN, INT64_MAX);
    const auto fast64 = ParseInteger(text, INT64_MIN, INT64_MAX);
    FUZZ_CHECK(slow64.has_value() == fast64.has_value());
    if (fast64) FUZZ_CHECK(*slow64 == *fast64);
    return 0;
}
