#pragma once
// Days of the proleptic Gregorian calendar as numbers, so that days sort,
// subtract and name their weekday without a time zone: a day is counted from
// 1970-01-01 (day 0), years 0000 to 9999 as ISO 8601 writes them.
#include <cstdint>
#include <optional>
#include <string>

namespace pomurina {

// A year, month and day of the calendar.
struct CivilDate {
    int year = 1970;
    int month = 1;  // 1..12
    int day = 1;    // 1..31
};

// The number of the date, or nothing when the date isn't a real one
// (29 February of a common year, 31 April, day 0).
std::optional<std::int32_t> DayNumber(const CivilDate& date);

// The date of a day number.
CivilDate DateOfDay(std::int32_t day);

// The weekday of a day number: 0 Monday .. 6 Sunday.
int WeekdayOf(std::int32_t day);

// "YYYY-MM-DD".
std::string DayText(std::int32_t day);

}  // namespace pomurina
