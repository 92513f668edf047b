#pragma once
// What a filter keeps of a log: the lines of a period, without some hosts,
// without robots, under a path, of some status classes, of a virtual host.  Every part reads a
// line by its fields (AccessLine); a line whose fields can't be read passes
// only a filter with nothing set.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "filter/HostList.h"

namespace pomurina {

struct LineFilter {
    // The period: first and last day, inclusive, as CalendarDay numbers of
    // the days as written.
    std::optional<std::int32_t> firstDay, lastDay;
    // Hosts left out, and the list files they were read from.
    std::shared_ptr<const HostList> excludedHosts;
    std::vector<std::string> excludedHostFiles;
    // Lines of robots (the insight's robot rule) left out.
    bool humansOnly = false;
    // Kept: lines whose path starts with these bytes (empty: every path).
    std::string pathPrefix;
    // Kept: lines of these status classes, bit c for cxx (2..5); 0: every status.
    std::uint8_t statusClasses = 0;
    // Kept: lines of this virtual host, its letters in either case (empty:
    // every line, with a virtual host or not).
    std::string vhost;

    bool IsSet() const {
        return firstDay || lastDay || excludedHosts || humansOnly || !pathPrefix.empty() ||
               statusClasses != 0 || !vhost.empty();
    }
    // What is applied, in Japanese (UTF-8), for a title or a progress
    // window: "期間 2024-05-01〜2024-05-31・ロボットを除く…"; empty when nothing is set.
    std::string Description() const;
};

// Reads "YYYY-MM-DD" as a day number; nothing unless it is a real date.
std::optional<std::int32_t> ParseDayText(std::string_view text);
// Reads status classes such as "2xx,4xx" (x in either case); nothing unless
// every item is one of 2xx, 3xx, 4xx, 5xx.
std::optional<std::uint8_t> ParseStatusClasses(std::string_view text);
// "2xx,4xx".
std::string StatusClassesText(std::uint8_t classes);
// Whether text is a virtual host's name as the filter takes it: letters,
// digits, '.', '-' and '_', at most 253 bytes.
bool IsVirtualHostName(std::string_view text);

}  // namespace pomurina
