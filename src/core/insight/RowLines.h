#pragma once
// The lines of a log that belong to a row of the insight (InsightRow.h),
// found on every core of the worker pool, so that a window can show a log
// narrowed to one row without copying a line.
#include <atomic>
#include <cstddef>
#include <optional>
#include <vector>

#include "insight/InsightRow.h"
#include "text/LineSource.h"

namespace pomurina {

// The indexes (0-based, in order) of the lines of lines that belong to row;
// none when cancelled became true before the end.
std::optional<std::vector<std::size_t>> FindRowLines(const LineSource& lines,
                                                     const InsightRules& rules,
                                                     const InsightRow& row,
                                                     const std::atomic<bool>& cancelled);

}  // namespace pomurina
