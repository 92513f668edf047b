#pragma once
// Times written as UTC (W3C, CloudFront, ISO 8601 with "Z") turned into the
// combined time field in the machine's local time zone, with its offset:
// a user in Japan sees Japan's time, as the servers there write it.
#include <cstdint>
#include <string>
#include <string_view>

namespace pomurina {

class LocalTimeWriter {
public:
    // Appends "[DD/Mon/YYYY:HH:MM:SS +ZZZZ]" for the UTC date "YYYY-MM-DD"
    // and clock "HH:MM:SS" (a fraction after it is dropped); false, with
    // nothing appended, when they aren't a real date and time.
    bool Write(std::string_view date, std::string_view clock, std::string& out);

private:
    // The local zone's offset in seconds at the UTC time, from the
    // system's rules; the last hour's is kept, as lines come in order.
    std::int64_t OffsetAt(std::int64_t utcSeconds);

    std::int64_t m_hour = -1;  // the UTC hour m_offset holds for
    std::int64_t m_offset = 0;
};

// Appends the combined time field for the date, the clock and the offset
// from UTC in seconds: "[DD/Mon/YYYY:HH:MM:SS +ZZZZ]"; leap: the second
// after secondsOfDay's, written 60.
void AppendCombinedTime(std::int32_t day, int secondsOfDay, std::int64_t offset, std::string& out,
                        bool leap = false);

// Reads "YYYY-MM-DD" and "HH:MM:SS" (a fraction after it left out) into a
// day number and the seconds of the day; false unless they are real.
bool ReadIsoDateTime(std::string_view date, std::string_view clock, std::int32_t& day,
                     int& secondsOfDay);

}  // namespace pomurina
