#pragma once
// Floating-point numbers as text: the general format with 15 significant
// digits ("F") and its reading ("P").  The decimal separator is ".".
#include <optional>
#include <string>
#include <string_view>

namespace pomurina {

// F: 15 significant digits, fixed notation for 1E-4 <= |v| < 1E15, else
// scientific ("1.43051147460938E-6", "1E15"); never throws.
std::string FloatToText(double value);

// P: the nearest double of a decimal number in fixed or scientific notation,
// or nothing when text is no such number.
std::optional<double> TextToFloat(std::string_view text);

}  // namespace pomurina
