#include "urlconv/Utf16ToCp932.h"

#include <algorithm>

#include "text/Cp932.h"

namespace pomurina {
namespace {

bool IsHighSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsLowSurrogate(char16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

}  // namespace

std::string Utf16ToCp932(std::u16string_view units) {
    std::string out;
    out.reserve(units.size() * 2);
    // Characters go to the table in runs; a surrogate ends a run and is a '?'
    // of its own (code page 932 has nothing beyond the 16-bit range).  A run
    // is cut every 64 Ki characters, so a line of any length converts in
    // little memory (the conversion keeps no state between characters).
    constexpr std::size_t kLongestRun = 65536;
    std::u32string run;
    run.reserve(std::min(units.size(), kLongestRun));
    for (std::size_t i = 0; i < units.size(); ++i) {
        const char16_t unit = units[i];
        if (!IsHighSurrogate(unit) && !IsLowSurrogate(unit)) {
            run += static_cast<char32_t>(unit);
            if (run.size() == kLongestRun) {
                out += CodePointsToCp932(run);
                run.clear();
            }
            continue;
        }
        out += CodePointsToCp932(run);
        run.clear();
        out += '?';
        if (IsHighSurrogate(unit) && i + 1 < units.size() && IsLowSurrogate(units[i + 1])) ++i;
    }
    out += CodePointsToCp932(run);
    return out;
}

}  // namespace pomurina
