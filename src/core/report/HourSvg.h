#pragma once
// An hourly graph of the HTML report as inline SVG: the window's graph with
// the same bars (each hour's share of all lines, the window's 282-pixel full
// scale and its order from three o'clock down to two o'clock), every hour
// labelled, and the count with its percentage beside each bar.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "window/HourBars.h"

namespace pomurina {

// Appends the <svg> of one graph; total is the number of lines of the log.
void AppendHourSvg(const std::array<HourBar, 24>& bars, std::int64_t total,
                   std::string_view caption, int graph, std::string& out);

// The share count/total in percent with one decimal ("12.3%"); "0.0%" when total is 0.
std::string PercentText(std::int64_t count, std::int64_t total);

}  // namespace pomurina
