#pragma once
// Geometry of the hourly bar graphs, apart from any drawing.
#include <array>
#include <cstdint>

#include "analysis/CountingResult.h"

namespace pomurina {

constexpr int kGraphWidth = 297;
constexpr int kGraphHeight = 255;
constexpr int kBarOrigin = 15;    // axis and bar start
constexpr int kFullScale = 282;   // pixels for 100 %
constexpr int kSeparatorY = 215;  // between 23 o'clock and midnight

struct HourBar {
    std::int64_t count;
    std::int64_t length;  // pixels
    int rowTop;
};

// The graphs' order of hours: the day starts at three o'clock in row 0, and
// midnight to two o'clock come last (rows 21 to 23), below the separator.
constexpr int HourRow(int hour) {
    return (hour + 21) % 24;
}
constexpr int RowHour(int row) {
    return (row + 3) % 24;
}

// The top of hour's row in the window's graph: 10 pixels a row, and 10 more
// below the separator.
constexpr int HourRowTop(int hour) {
    return 10 * HourRow(hour) + (HourRow(hour) >= HourRow(0) ? 10 : 0);
}

// Bar lengths as shares of total lines: (282 x count) div total, truncated;
// every bar is 0 long when there are no lines.
std::array<HourBar, 24> ComputeHourBars(const HourCounts& counts, std::int64_t total);

}  // namespace pomurina
