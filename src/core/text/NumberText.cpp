#include "text/NumberText.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace pomurina {

std::string FloatToText(double value) {
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
    if (value == 0) return "0";

    // |value| to 18 significant digits first, then rounded half up to 15:
    // the two roundings are part of the format.
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.17e", std::fabs(value));
    std::string digits;
    digits += buffer[0];
    digits.append(buffer + 2, 17);
    int exponent = std::atoi(buffer + 20) + 1;  // digits read as 0.d1d2... x 10^exponent

    std::string kept = digits.substr(0, 15);
    if (digits[15] >= '5') {
        int i = 14;
        while (i >= 0 && kept[static_cast<std::size_t>(i)] == '9')
            kept[static_cast<std::size_t>(i--)] = '0';
        if (i < 0) {
            kept.insert(kept.begin(), '1');
            kept.pop_back();
            ++exponent;
        } else {
            ++kept[static_cast<std::size_t>(i)];
        }
    }
    while (kept.size() > 1 && kept.back() == '0') kept.pop_back();
    const int n = static_cast<int>(kept.size());

    std::string text = value < 0 ? "-" : "";
    if (exponent >= -3 && exponent <= 15) {
        if (exponent >= 1) {
            for (int i = 0; i < exponent; ++i)
                text += i < n ? kept[static_cast<std::size_t>(i)] : '0';
            if (n > exponent) text += "." + kept.substr(static_cast<std::size_t>(exponent));
        } else {
            text += "0.";
            text.append(static_cast<std::size_t>(-exponent), '0');
            text += kept;
        }
    } else {
        text += kept[0];
        if (n > 1) text += "." + kept.substr(1);
        text += "E" + std::to_string(exponent - 1);
    }
    return text;
}

std::optional<double> TextToFloat(std::string_view text) {
    // Only what FloatToText writes: [-]digits[.digits][E[+-]digits].
    std::size_t i = 0;
    auto digitsFrom = [&](std::size_t from) {
        std::size_t j = from;
        while (j < text.size() && text[j] >= '0' && text[j] <= '9') ++j;
        return j;
    };
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
    std::size_t j = digitsFrom(i);
    if (j == i) return std::nullopt;
    i = j;
    if (i < text.size() && text[i] == '.') {
        j = digitsFrom(i + 1);
        if (j == i + 1) return std::nullopt;
        i = j;
    }
    if (i < text.size() && (text[i] == 'E' || text[i] == 'e')) {
        ++i;
        if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
        j = digitsFrom(i);
        if (j == i) return std::nullopt;
        i = j;
    }
    if (i != text.size()) return std::nullopt;

    const char* first = text.data() + (text[0] == '+' ? 1 : 0);
    double value = 0;
    const auto result = std::from_chars(first, text.data() + text.size(), value);
    if (result.ptr != text.data() + text.size()) return std::nullopt;
    if (result.ec == std::errc::result_out_of_range) {
        // Beyond the doubles' range: infinity above, zero below, as a conversion rounds.
        const bool negative = text[0] == '-';
        const std::size_t mark = text.find_first_of("Ee");
        const bool tiny = mark != std::string_view::npos && text[mark + 1] == '-';
        return tiny ? (negative ? -0.0 : 0.0) : (negative ? -HUGE_VAL : HUGE_VAL);
    }
    if (result.ec != std::errc{}) return std::nullopt;
    return value;
}

}  // namespace pomurina
