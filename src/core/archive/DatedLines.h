#pragma once
// Lines given the day and the time they belong to, as the archive files
// them: the time as written (read as the analysis reads it; the zone is
// ignored), and for a line with no readable time, the day and time of the
// line before it, or for the first such lines, of the first line that has one.
#include <cstdint>
#include <string_view>
#include <vector>

namespace pomurina {

// A line and where it belongs.
struct DatedLine {
    std::string_view text;
    std::int64_t seconds = 0;  // WrittenTime::Seconds(): the order within a day
    std::int32_t day = 0;      // see CalendarDay.h
};

// The lines dated in their order; empty when no line has a readable time.
std::vector<DatedLine> DateLines(const std::vector<std::string_view>& lines);

// The lines of a text whose lines each end with LF (a day file's).
std::vector<std::string_view> SplitDayLines(std::string_view text);

}  // namespace pomurina
