#pragma once
// The periods a user picks most, worked out from a log's first and last day:
// the last day, the last 7 or 30 days, the last day's month, the month
// before it, the whole log.
#include <cstdint>
#include <optional>

namespace pomurina {

enum class PeriodPreset { WholeLog, LastDay, Last7Days, Last30Days, LastDayMonth, MonthBefore };

// First and last day, inclusive (CalendarDay numbers).
struct DayRange {
    std::int32_t first = 0, last = 0;
    bool operator==(const DayRange&) const = default;
};

// The preset's period within the log's days [log.first, log.last]: cut to
// them, or nothing when it holds none of them.
std::optional<DayRange> PresetPeriod(PeriodPreset preset, DayRange log);

}  // namespace pomurina
