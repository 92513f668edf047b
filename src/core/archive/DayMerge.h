#pragma once
// The archive's rule for one day: for each distinct line text, as many
// copies as the larger of what the day file had and what the imported log
// has for that day, so that importing overlapping rotations, the same log
// twice or a day split across two logs never loses or doubles a line.  The
// lines are in the order of their times as written; equal times keep the
// order they had, the day file's lines first, then the log's.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "archive/DatedLines.h"

namespace pomurina {

// What merging one day gives.
struct DayMergeOutcome {
    std::string lines;           // the day's lines, each ended by LF; empty when unchanged
    std::size_t added = 0;       // lines of the log the day file didn't have
    std::size_t alreadyHad = 0;  // lines of the log the day file had
    bool changed() const { return added > 0; }
};

// Merges imported (the log's lines of one day, in the log's order) into the
// day file's lines kept (each ended by LF; empty for a new day).
DayMergeOutcome MergeDay(std::string_view kept, const std::vector<DatedLine>& imported);

}  // namespace pomurina
