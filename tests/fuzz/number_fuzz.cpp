// The volume's number text: it never throws, reads back as the value rounded
// to 15 significant digits, and only reads what it writes.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

#include "FuzzCheck.h"
#include "text/NumberText.h"

using namespace pomurina;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size >= sizeof(double)) {
        double value;
        std::memcpy(&value, data, sizeof value);
        const std::string text = FloatToText(value);
        if (std::isfinite(value)) {
            const auto back = TextToFloat(text);
            FUZZ_CHECK(back.has_value());
            if (std::isinf(*back)) {
                FUZZ_CHECK(std::fabs(value) >=
                           1.797693134862315e308);  // rounded up past the largest double
            } else {
                // Within half a unit of the fifteenth digit, plus the reading's own rounding.
                const double unit = std::pow(10.0, std::floor(std::log10(std::fabs(value))) - 14);
                const double tolerance =
                    0.5 * unit * (1 + 1e-9) +
                    2 * (std::nextafter(std::fabs(value), HUGE_VAL) - std::fabs(value));
                FUZZ_CHECK(std::fabs(*back - value) <= tolerance);
                FUZZ_CHECK(FloatToText(*back) == text);
            }
            FUZZ_CHECK(text.find_first_not_of("-0123456789.E") == std::string::npos);
        }
    }
    const std::string raw(reinterpret_cast<const char*>(data), size);
    if (const auto value = TextToFloat(raw))
        FUZZ_CHECK(raw.find_first_not_of("+-0123456789.Ee") == std::string::npos);
    return 0;
}
