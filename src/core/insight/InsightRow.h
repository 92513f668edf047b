#pragma once
// A row of one of the insight's tables that lines are counted in, and the
// test of whether a line was counted in it, by the insight's own reading of
// the line's fields (AccessLine.h): a day, a page (a path answered below 400
// that no static extension names), a missing page (404), a status code, a
// referring site, a search phrase, a robot, a host or a virtual host.  Lines that don't have
// the fields belong to no row.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "insight/AccessLine.h"
#include "insight/Insight.h"
#include "insight/InsightRules.h"

namespace pomurina {

// The tables whose rows name lines.
enum class RowTable : std::uint8_t {
    Days,
    Pages,
    NotFound,
    StatusCodes,
    ReferringSites,
    SearchPhrases,
    Robots,
    Hosts,
    VirtualHosts
};

struct InsightRow {
    RowTable table = RowTable::Hosts;
    std::string text;         // the path, host, site, phrase, robot's name or virtual host
    std::int64_t number = 0;  // the day's number or the status code
    RobotKind kind = RobotKind::Bot;
};

// Row r (0-based, in the insight's order) of the table of key (the reports'
// keys: "days", "pages", "not_found", …); none for a table whose rows name no
// lines, or a row beyond the table.
std::optional<InsightRow> InsightRowOf(const Insight& insight, std::string_view key, std::size_t r);

// Tells lines of a log, in any order, whether they belong to a row.  One for
// each thread: it keeps what the last lines had in common.
class RowLineTest {
public:
    // rules and row must outlive the test.
    RowLineTest(const InsightRules& rules, const InsightRow& row);

    bool Holds(std::string_view line);

private:
    bool RobotHolds(const AccessLine& fields);
    bool ReferrerHolds(std::string_view referrer);

    const InsightRules& m_rules;
    const InsightRow& m_row;
    AccessLineReader m_reader;
    // The last agent or referrer looked at, and whether it belonged.
    std::string m_lastText;
    bool m_lastKnown = false, m_lastHeld = false;
    std::string m_scratch;
};

}  // namespace pomurina
