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

// The top of hour's row: the day starts at three o'clock at the top, and
// midnight to two o'clock come last, below the separator.
constexpr int HourRowTop(int hour) {
    return hour >= 3 ? 10 * hour - 30 : 10 * hour + 220;
}

// Bar lengths as shares of total lines: (282 x count) div total, truncated;
// every bar is 0 long when there are no lines.
std::array<HourBar, 24> ComputeHourBars(const HourCounts& counts, std::int64_t total);

}  // namespace pomurina
