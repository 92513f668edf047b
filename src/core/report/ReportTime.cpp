#include "report/ReportTime.h"

#include <cstdio>
#include <string_view>

namespace pomurina {
namespace {

std::tm Local(std::time_t when) {
    std::tm parts{};
    localtime_r(&when, &parts);
    return parts;
}

}  // namespace

std::string IsoLocalTime(std::time_t when) {
    const std::tm t = Local(when);
    char text[64];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S%z", &t);
    // %z gives +0900; ISO 8601 as JSON readers expect it has +09:00.
    const std::string_view iso = text;
    if (iso.size() < 5) return std::string(iso);
    return std::string(iso.substr(0, iso.size() - 2)) + ":" +
           std::string(iso.substr(iso.size() - 2));
}

std::string JapaneseLocalTime(std::time_t when) {
    const std::tm t = Local(when);
    char text[64];
    std::snprintf(text, sizeof text, "%d年%d月%d日 %02d:%02d", t.tm_year + 1900, t.tm_mon + 1,
                  t.tm_mday, t.tm_hour, t.tm_min);
    return text;
}

}  // namespace pomurina
