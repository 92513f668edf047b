#include "insight/InsightRow.h"

#include "insight/ReferrerUrl.h"
#include "insight/SearchPhrase.h"

namespace pomurina {

std::optional<InsightRow> InsightRowOf(const Insight& insight, std::string_view key,
                                       std::size_t r) {
    const auto row = [&](const auto& rows, RowTable table) -> std::optional<InsightRow> {
        if (r >= rows.size()) return std::nullopt;
        InsightRow out;
        out.table = table;
        return out;
    };
    std::optional<InsightRow> out;
    if (key == "days") {
        if ((out = row(insight.days, RowTable::Days))) out->number = insight.days[r].day;
    } else if (key == "pages") {
        if ((out = row(insight.pages, RowTable::Pages))) out->text = insight.pages[r].path;
    } else if (key == "not_found") {
        if ((out = row(insight.notFound, RowTable::NotFound))) out->text = insight.notFound[r].path;
    } else if (key == "status_codes") {
        if ((out = row(insight.statusCodes, RowTable::StatusCodes)))
            out->number = insight.statusCodes[r].code;
    } else if (key == "referring_sites") {
        if ((out = row(insight.referringSites, RowTable::ReferringSites)))
            out->text = insight.referringSites[r].key;
    } else if (key == "search_phrases") {
        if ((out = row(insight.searchPhrases, RowTable::SearchPhrases)))
            out->text = insight.searchPhrases[r].key;
    } else if (key == "robots") {
        if ((out = row(insight.robots, RowTable::Robots))) {
            out->text = insight.robots[r].name;
            out->kind = insight.robots[r].kind;
        }
    } else if (key == "hosts") {
        if ((out = row(insight.hosts, RowTable::Hosts))) out->text = insight.hosts[r].host;
    } else if (key == "vhosts") {
        if ((out = row(insight.vhosts, RowTable::VirtualHosts))) out->text = insight.vhosts[r].vhost;
    }
    return out;
}

RowLineTest::RowLineTest(const InsightRules& rules, const InsightRow& row)
    : m_rules(rules), m_row(row) {}

bool RowLineTest::Holds(std::string_view line) {
    AccessLine fields;
    if (!m_reader.Read(line, fields)) return false;
    switch (m_row.table) {
        case RowTable::Days:
            return fields.time.day == m_row.number;
        case RowTable::Pages:
            return fields.status < 400 && fields.path == m_row.text && !IsStaticPath(fields.path);
        case RowTable::NotFound:
            return fields.status == 404 && fields.path == m_row.text;
        case RowTable::StatusCodes:
            return fields.status == m_row.number;
        case RowTable::Hosts:
            return fields.host == m_row.text;
        case RowTable::VirtualHosts:
            return fields.vhost == m_row.text;
        case RowTable::Robots:
            return RobotHolds(fields);
        case RowTable::ReferringSites:
        case RowTable::SearchPhrases: {
            // Only a referrer that may begin "http" is read for its site.
            const std::string_view referrer = fields.referrer;
            return !referrer.empty() && (referrer[0] == 'h' || referrer[0] == 'H') &&
                   ReferrerHolds(referrer);
        }
    }
    return false;
}

bool RowLineTest::RobotHolds(const AccessLine& fields) {
    // A line in the common format has no agent and is nobody's robot.
    if (!fields.hasAgent) return false;
    if (m_lastKnown && fields.agent == m_lastText) return m_lastHeld;
    bool held;
    if (fields.agent == "-" || fields.agent.empty()) {
        held = m_row.text == kNoAgentName && m_row.kind == RobotKind::Bot;
    } else {
        const AgentMatch match = m_rules.agents.Match(fields.agent);
        if (match.robot == AgentMatch::kNone) {
            held = false;
        } else {
            const AgentRule& rule = m_rules.agents.Rules()[match.robot];
            const RobotKind kind = rule.kind == AgentKind::Ai ? RobotKind::Ai : RobotKind::Bot;
            held = rule.name == m_row.text && kind == m_row.kind;
        }
    }
    m_lastText.assign(fields.agent);
    m_lastKnown = true;
    m_lastHeld = held;
    return held;
}

bool RowLineTest::ReferrerHolds(std::string_view referrer) {
    if (m_lastKnown && referrer == m_lastText) return m_lastHeld;
    bool held = false;
    if (const auto url = ReadReferrerUrl(referrer)) {
        m_scratch.clear();
        AppendAsciiLower(url->host, m_scratch);
        if (m_row.table == RowTable::ReferringSites) {
            held = !m_scratch.empty() && m_scratch == m_row.text &&
                   !m_rules.ownDomains.AnyIn(referrer);
        } else {
            const SearchEngineHit hit = m_rules.engines.Find(m_scratch, url->query);
            held = hit.rule != SearchEngineHit::kNone &&
                   ReadSearchPhrase(hit.value, url->query, m_scratch) && m_scratch == m_row.text;
        }
    }
    m_lastText.assign(referrer);
    m_lastKnown = true;
    m_lastHeld = held;
    return held;
}

}  // namespace pomurina
