#pragma once
// Days of the calendar (CalendarDay.h's numbers) as the date fields show them.
#include <QDate>
#include <cstdint>

namespace pomurina {

// Day numbers count from 1970-01-01, the Julian day 2440588.
inline QDate QDateOfDay(std::int32_t day) {
    return QDate::fromJulianDay(day + qint64{2440588});
}
inline std::int32_t DayOfQDate(const QDate& date) {
    return static_cast<std::int32_t>(date.toJulianDay() - 2440588);
}

}  // namespace pomurina
