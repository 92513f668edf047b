// The daily graph's columns: days, weeks or months by the width, every day
// from the first to the last in exactly one column, held against a plain
// grouping by the calendar; and the labels' stride.
#include <gtest/gtest.h>

#include <map>

#include "insight/CalendarDay.h"
#include "window/DayBuckets.h"

namespace pomurina {
namespace {

std::int32_t Day(int year, int month, int day) {
    return *DayNumber({year, month, day});
}

// Every n-th day from first, count of them, with made-up counts.
std::vector<DayRow> Days(std::int32_t first, int count, int every = 1) {
    std::vector<DayRow> days;
    for (int k = 0; k < count; ++k) {
        const std::int32_t d = first + k * every;
        days.push_back({d, 10 + d % 7, d % 5, d % 3, 1, 1000 + d % 11, 0});
    }
    return days;
}

// The column each day falls in, found the plain way: its Monday, or the
// first of its month.
std::int32_t PlainStart(std::int32_t day, DaySpan span) {
    if (span == DaySpan::Day) return day;
    if (span == DaySpan::Week) {
        std::int32_t d = day;
        while (WeekdayOf(d) != 0) --d;
        return d;
    }
    const CivilDate date = DateOfDay(day);
    return Day(date.year, date.month, 1);
}

TEST(GroupDays, ColumnsFollowTheWidthAndHoldEveryDayOnce) {
    struct Case {
        std::vector<DayRow> days;
        int width;
        DaySpan span;
        std::size_t columns;
    };
    const Case cases[] = {
        {Days(Day(2020, 3, 5), 1), 800, DaySpan::Day, 1},
        {Days(Day(2020, 3, 5), 20), 800, DaySpan::Day, 20},
        {Days(Day(2020, 3, 1), 10, 3), 800, DaySpan::Day, 28},  // gaps become empty days
        {Days(Day(2020, 3, 4), 201), 800, DaySpan::Week, 29},   // a Wednesday: from Monday 3/2
        {Days(Day(2019, 12, 30), 1096), 800, DaySpan::Week, 157},
        {Days(Day(2019, 12, 30), 1096), 400, DaySpan::Month, 37},
        {Days(Day(2020, 11, 15), 60), 20, DaySpan::Month, 3},  // December into January
    };
    for (const Case& c : cases) {
        const DayColumns columns = GroupDays(c.days, c.width, 4);
        SCOPED_TRACE(DayText(c.days.front().day) + " x" + std::to_string(c.days.size()));
        EXPECT_EQ(columns.span, c.span);
        ASSERT_EQ(columns.buckets.size(), c.columns);
        std::map<std::int32_t, DayBucket> plain;
        for (const DayRow& row : c.days) {
            DayBucket& b = plain[PlainStart(row.day, c.span)];
            b.hits += row.hits;
            b.pages += row.pages;
            b.visitors += row.visitors;
            b.bytes += row.bytes;
        }
        for (std::size_t k = 0; k < columns.buckets.size(); ++k) {
            const DayBucket& b = columns.buckets[k];
            if (k > 0) {
                EXPECT_LT(columns.buckets[k - 1].firstDay, b.firstDay);
            }
            EXPECT_EQ(PlainStart(b.firstDay, c.span), b.firstDay);
            const DayBucket expected = plain.count(b.firstDay) ? plain[b.firstDay] : DayBucket{};
            EXPECT_EQ(b.hits, expected.hits) << DayText(b.firstDay);
            EXPECT_EQ(b.pages, expected.pages);
            EXPECT_EQ(b.visitors, expected.visitors);
            EXPECT_EQ(b.bytes, expected.bytes);
            plain.erase(b.firstDay);
        }
        EXPECT_TRUE(plain.empty());
    }
    EXPECT_TRUE(GroupDays({}, 800, 4).buckets.empty());
}

TEST(LabelStride, LabelsNeverOverlap) {
    const std::tuple<double, int, int> cases[] = {{50, 40, 1},   {40, 40, 1}, {10, 40, 4},
                                                  {3.5, 40, 12}, {0, 40, 1},  {-1, 40, 1}};
    for (const auto& [column, label, stride] : cases)
        EXPECT_EQ(LabelStride(column, label), stride) << column;
}

}  // namespace
}  // namespace pomurina
