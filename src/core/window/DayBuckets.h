#pragma once
// The daily graph's columns: the days from the first to the last (days
// without a line count as zero), grouped into weeks (from Monday) or
// calendar months when the days don't fit the width, and how often a column
// gets its label so that the labels never overlap.  Plain numbers: the
// drawing only places what this gives.
#include <cstdint>
#include <vector>

#include "insight/Insight.h"

namespace pomurina {

enum class DaySpan { Day, Week, Month };

// One column: its first day and the sums over its days (the visitors of a
// week or month are the sum of its days' visitors).
struct DayBucket {
    std::int32_t firstDay = 0;
    std::int64_t hits = 0, pages = 0, visitors = 0, bytes = 0;
};

struct DayColumns {
    DaySpan span = DaySpan::Day;
    std::vector<DayBucket> buckets;
};

// The columns of days (in calendar order) for a plot width pixels wide in
// which a column needs at least minColumn pixels.  Months are used when
// even weeks don't fit.
DayColumns GroupDays(const std::vector<DayRow>& days, int width, int minColumn);

// Label every stride-th column: the least stride (1 or more) at which a
// label labelWidth wide fits in stride columns of columnWidth.
int LabelStride(double columnWidth, int labelWidth);

}  // namespace pomurina
