#include "window/DayBuckets.h"

#include <cmath>

#include "insight/CalendarDay.h"

namespace pomurina {
namespace {

// The first day of the column day falls in.
std::int32_t ColumnStart(std::int32_t day, DaySpan span) {
    switch (span) {
        case DaySpan::Day:
            return day;
        case DaySpan::Week:
            return day - WeekdayOf(day);
        case DaySpan::Month: {
            CivilDate date = DateOfDay(day);
            date.day = 1;
            return *DayNumber(date);
        }
    }
    return day;
}

// The first day of the column after the one starting at start.
std::int32_t NextColumn(std::int32_t start, DaySpan span) {
    if (span == DaySpan::Day) return start + 1;
    if (span == DaySpan::Week) return start + 7;
    CivilDate date = DateOfDay(start);
    date.month = date.month == 12 ? 1 : date.month + 1;
    if (date.month == 1) ++date.year;
    return *DayNumber(date);
}

std::int64_t ColumnCount(std::int32_t first, std::int32_t last, DaySpan span) {
    std::int64_t count = 0;
    for (std::int32_t d = ColumnStart(first, span); d <= last; d = NextColumn(d, span)) ++count;
    return count;
}

}  // namespace

DayColumns GroupDays(const std::vector<DayRow>& days, int width, int minColumn) {
    DayColumns columns;
    if (days.empty()) return columns;
    const std::int32_t first = days.front().day, last = days.back().day;
    const std::int64_t fit = minColumn > 0 ? std::max(width / minColumn, 1) : width;
    columns.span = DaySpan::Day;
    if (ColumnCount(first, last, DaySpan::Day) > fit)
        columns.span =
            ColumnCount(first, last, DaySpan::Week) > fit ? DaySpan::Month : DaySpan::Week;
    for (std::int32_t d = ColumnStart(first, columns.span); d <= last;
         d = NextColumn(d, columns.span))
        columns.buckets.push_back({d, 0, 0, 0, 0});
    std::size_t k = 0;
    for (const DayRow& row : days) {
        while (k + 1 < columns.buckets.size() && columns.buckets[k + 1].firstDay <= row.day) ++k;
        DayBucket& bucket = columns.buckets[k];
        bucket.hits += row.hits;
        bucket.pages += row.pages;
        bucket.visitors += row.visitors;
        bucket.bytes = row.bytes > INT64_MAX - bucket.bytes ? INT64_MAX : bucket.bytes + row.bytes;
    }
    return columns;
}

int LabelStride(double columnWidth, int labelWidth) {
    if (columnWidth <= 0) return 1;
    return std::max(1, static_cast<int>(std::ceil(labelWidth / columnWidth)));
}

}  // namespace pomurina
