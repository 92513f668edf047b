#pragma once
// The moment a report was made, in local time.
#include <ctime>
#include <string>

namespace pomurina {

// "2026-12-08T09:15:02+09:00" (ISO 8601 with the zone's offset).
std::string IsoLocalTime(std::time_t when);

// "2026年12月8日 09:15" for people.
std::string JapaneseLocalTime(std::time_t when);

}  // namespace pomurina
