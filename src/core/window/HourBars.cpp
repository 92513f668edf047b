#include "window/HourBars.h"

namespace pomurina {

std::array<HourBar, 24> ComputeHourBars(const HourCounts& counts, std::int64_t total) {
    std::array<HourBar, 24> bars{};
    for (int h = 0; h < 24; ++h) {
        const std::int64_t count = counts[static_cast<std::size_t>(h)];
        // Integers, not floating point: 19 of 47 is exactly 114 pixels, which
        // (19 / 47) x 282 in doubles would truncate to 113.
        const std::int64_t length = total > 0 ? kFullScale * count / total : 0;
        bars[static_cast<std::size_t>(h)] = {count, length, HourRowTop(h)};
    }
    return bars;
}

}  // namespace pomurina
