#pragma once
// The insight's daily graph as inline SVG: for every day of the log, side by
// side, a bar of its hits, of its pages and of its visitors, on one scale
// that starts at 0 and ends at a round number; every day's date below when
// they fit, every few days' otherwise.
#include <string>
#include <vector>

#include "insight/Insight.h"

namespace pomurina {

// Appends the <svg> of the days (at least one).
void AppendDaySvg(const std::vector<DayRow>& days, std::string& out);

// The scale's end: the least of 1, 2 and 5 times a power of ten that holds
// largest (1 for 0).
long long RoundScale(long long largest);

}  // namespace pomurina
