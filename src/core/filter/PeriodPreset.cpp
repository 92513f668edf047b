#include "filter/PeriodPreset.h"

#include <algorithm>

#include "insight/CalendarDay.h"

namespace pomurina {

namespace {

// The first day of the month of day, moved by months.
std::int32_t MonthStart(std::int32_t day, int months) {
    CivilDate date = DateOfDay(day);
    // Nothing comes before the calendar's first month.
    const int index = std::max(0, date.year * 12 + (date.month - 1) + months);
    date = {index / 12, index % 12 + 1, 1};
    return *DayNumber(date);
}

}  // namespace

std::optional<DayRange> PresetPeriod(PeriodPreset preset, DayRange log) {
    DayRange period = log;
    switch (preset) {
        case PeriodPreset::WholeLog:
            break;
        case PeriodPreset::LastDay:
            period.first = log.last;
            break;
        case PeriodPreset::Last7Days:
            period.first = log.last - 6;
            break;
        case PeriodPreset::Last30Days:
            period.first = log.last - 29;
            break;
        case PeriodPreset::LastDayMonth:
            period.first = MonthStart(log.last, 0);
            break;
        case PeriodPreset::MonthBefore:
            period = {MonthStart(log.last, -1), MonthStart(log.last, 0) - 1};
            break;
    }
    period.first = std::max(period.first, log.first);
    period.last = std::min(period.last, log.last);
    if (period.first > period.last) return std::nullopt;
    return period;
}

}  // namespace pomurina
