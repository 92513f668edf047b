#pragma once
// The insight of a run: a reading of every line by its fields (see
// AccessLine.h) into totals and tables a site owner asks for: days and
// weekdays, pages and visits, missing pages, status codes, where visitors
// came from and what they searched for, browsers, systems and devices,
// robots and hosts.  Names and phrases are UTF-8; paths and hosts are the
// log's bytes.  Every table is whole, sorted by hits (most first), then by
// its key's bytes; days and weekdays go in calendar order.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace pomurina {

// What the tables call a request without an agent, or with "-" or "".
inline constexpr const char* kNoAgentName = "(エージェントなし)";
// What the tables call an agent no rule names.
inline constexpr const char* kOtherName = "その他";

struct InsightTotals {
    std::int64_t hits = 0;  // lines read by their fields
    std::int64_t unparsed = 0;
    std::int64_t pages = 0;
    std::int64_t visitors = 0;
    std::int64_t visits = 0;
    std::int64_t bytes = 0;  // saturates at 2^63 - 1, as every sum of sizes
    std::int64_t robotHits = 0;
    std::int64_t aiHits = 0;
    std::int64_t humanHits = 0;
    std::optional<std::int32_t> firstDay, lastDay;  // see CalendarDay.h
};

struct DayRow {
    std::int32_t day = 0;
    std::int64_t hits = 0, pages = 0, visitors = 0, visits = 0, bytes = 0, robotHits = 0;
};

// Monday first (月 火 水 木 金 土 日).
struct WeekdayRow {
    std::int64_t hits = 0, pages = 0;
};

struct PageRow {
    std::string path;
    std::int64_t hits = 0, visitors = 0, bytes = 0, entries = 0, exits = 0;
};

struct NotFoundRow {
    std::string path;
    std::int64_t hits = 0, visitors = 0;
};

struct StatusRow {
    int code = 0;
    std::int64_t hits = 0;
};

// A table of texts and their hits: referring sites (hosts), search engines
// (names) and search phrases.
struct HitsRow {
    std::string key;
    std::int64_t hits = 0;
};

// Browsers, operating systems and devices of human requests.
struct NameRow {
    std::string name;
    std::int64_t hits = 0, visitors = 0;
};

enum class RobotKind : std::uint8_t { Ai, Bot };  // ai sorts first

struct RobotRow {
    std::string name;
    RobotKind kind = RobotKind::Bot;
    std::int64_t hits = 0, visitors = 0;
};

// A time as written in the log.
struct SeenTime {
    std::int32_t day = 0;
    int hour = 0, minute = 0, second = 0;  // second may be 60
};

struct HostRow {
    std::string host;
    std::int64_t hits = 0, pages = 0, bytes = 0;
    SeenTime lastSeen;  // of the host's latest request, the first of equal times
};

// A virtual host the lines name (see AccessLine::vhost).
struct VirtualHostRow {
    std::string vhost;
    std::int64_t hits = 0, pages = 0, visitors = 0, bytes = 0;
};

// Visits by length: under 30 s, 2 min, 5 min, 15 min, 30 min, 1 h, and longer.
using VisitDurations = std::array<std::int64_t, 7>;

struct Insight {
    InsightTotals totals;
    std::vector<DayRow> days;
    std::array<WeekdayRow, 7> weekdays{};
    std::vector<PageRow> pages;
    std::vector<NotFoundRow> notFound;
    std::vector<StatusRow> statusCodes;
    std::vector<HitsRow> referringSites;
    std::vector<HitsRow> searchEngines;
    std::vector<HitsRow> searchPhrases;
    std::vector<NameRow> browsers;
    std::vector<NameRow> operatingSystems;
    std::vector<NameRow> devices;
    std::vector<RobotRow> robots;
    std::vector<HostRow> hosts;
    VisitDurations visitDurations{};
    // Empty unless some line names a virtual host.
    std::vector<VirtualHostRow> vhosts;
};

}  // namespace pomurina
