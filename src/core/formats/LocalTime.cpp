#include "formats/LocalTime.h"

#include <ctime>

#include "insight/CalendarDay.h"

namespace pomurina {
namespace {

bool Digits(std::string_view text, std::size_t from, std::size_t count, int& out) {
    out = 0;
    for (std::size_t i = from; i < from + count; ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        out = out * 10 + (text[i] - '0');
    }
    return true;
}

void AppendTwo(int value, std::string& out) {
    out += static_cast<char>('0' + value / 10);
    out += static_cast<char>('0' + value % 10);
}

}  // namespace

bool ReadIsoDateTime(std::string_view date, std::string_view clock, std::int32_t& day,
                     int& secondsOfDay) {
    CivilDate civil;
    int hour = 0, minute = 0, second = 0;
    if (date.size() != 10 || date[4] != '-' || date[7] != '-' || !Digits(date, 0, 4, civil.year) ||
        !Digits(date, 5, 2, civil.month) || !Digits(date, 8, 2, civil.day))
        return false;
    if (clock.size() < 8 || clock[2] != ':' || clock[5] != ':' || !Digits(clock, 0, 2, hour) ||
        !Digits(clock, 3, 2, minute) || !Digits(clock, 6, 2, second) || hour > 23 ||
        minute > 59 || second > 60)
        return false;
    const auto number = DayNumber(civil);
    if (!number) return false;
    day = *number;
    secondsOfDay = hour * 3600 + minute * 60 + second;
    return true;
}

void AppendCombinedTime(std::int32_t day, int secondsOfDay, std::int64_t offset, std::string& out,
                        bool leap) {
    static constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                              "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const CivilDate date = DateOfDay(day);
    out += '[';
    AppendTwo(date.day, out);
    out += '/';
    out += kMonths[date.month - 1];
    out += '/';
    AppendTwo(date.year / 100, out);
    AppendTwo(date.year % 100, out);
    out += ':';
    AppendTwo(secondsOfDay / 3600, out);
    out += ':';
    AppendTwo(secondsOfDay / 60 % 60, out);
    out += ':';
    AppendTwo(leap ? 60 : secondsOfDay % 60, out);
    out += offset < 0 ? " -" : " +";
    const std::int64_t minutes = (offset < 0 ? -offset : offset) / 60;
    AppendTwo(static_cast<int>(minutes / 60 % 100), out);
    AppendTwo(static_cast<int>(minutes % 60), out);
    out += ']';
}

std::int64_t LocalTimeWriter::OffsetAt(std::int64_t utcSeconds) {
    const std::int64_t hour = utcSeconds / 3600;
    if (hour != m_hour) {
        const auto time = static_cast<std::time_t>(utcSeconds);
        std::tm local{};
        m_offset = localtime_r(&time, &local) ? local.tm_gmtoff : 0;
        m_hour = hour;
    }
    return m_offset;
}

bool LocalTimeWriter::Write(std::string_view date, std::string_view clock, std::string& out) {
    std::int32_t day = 0;
    int seconds = 0;
    if (!ReadIsoDateTime(date, clock, day, seconds)) return false;
    // A leap second stays the minute's 60th, as written.
    const bool leap = seconds % 60 == 0 && clock[6] == '6';
    const std::int64_t utc = std::int64_t{day} * 86400 + seconds - leap;
    std::int64_t offset = OffsetAt(utc);
    const std::int64_t local = utc + offset;
    std::int64_t localDay = local / 86400;
    if (local % 86400 < 0) --localDay;
    const CivilDate localDate = DateOfDay(static_cast<std::int32_t>(localDay));
    if (localDate.year < 0 || localDate.year > 9999) {
        // Past the calendar's ends: written as UTC.
        offset = 0;
        localDay = day;
    }
    const std::int64_t fromDay = utc + offset - localDay * 86400;
    AppendCombinedTime(static_cast<std::int32_t>(localDay), static_cast<int>(fromDay), offset, out,
                       leap);
    return true;
}

}  // namespace pomurina
