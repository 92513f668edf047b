// The whole's counts made into the insight's tables.
#include <algorithm>
#include <atomic>
#include <exception>
#include <map>
#include <tuple>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include "insight/ByteSum.h"
#include "insight/CalendarDay.h"
#include "insight/InsightWhole.h"
#include "parallel/LongTask.h"

namespace pomurina {
namespace {

// Gives the pages of the tables just let go back to the system: the
// allocator keeps freed blocks, and the rows made next don't fit in them,
// so that without this they would add to the process's peak.
void ReturnFreedPages() {
#if defined(__GLIBC__)
    ::malloc_trim(0);
#endif
}

// Most hits first, then the key's bytes.
template <typename Row, typename Key>
void SortByHits(std::vector<Row>& rows, Key key) {
    std::sort(rows.begin(), rows.end(), [&](const Row& a, const Row& b) {
        if (a.hits != b.hits) return a.hits > b.hits;
        return key(a) < key(b);
    });
}

// The numbers 0 .. count - 1 of texts ordered by hits(i), most first, then
// by text(i)'s bytes.  Most comparisons end at the hits or the first eight
// bytes, held in the key, so that a table of many hosts sorts without
// reading their texts.
template <typename Hits, typename Text>
std::vector<std::uint32_t> OrderByHits(std::uint32_t count, Hits hits, Text text) {
    struct Key {
        std::int64_t hits;
        std::uint64_t prefix;  // the first eight bytes, big-endian, zeros after the end
        std::uint32_t id;
    };
    std::vector<Key> keys(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::string_view t = text(i);
        std::uint64_t prefix = 0;
        for (std::size_t b = 0; b < 8; ++b)
            prefix = prefix << 8 | (b < t.size() ? static_cast<unsigned char>(t[b]) : 0u);
        keys[i] = {hits(i), prefix, i};
    }
    std::sort(keys.begin(), keys.end(), [&](const Key& a, const Key& b) {
        if (a.hits != b.hits) return a.hits > b.hits;
        if (a.prefix != b.prefix) return a.prefix < b.prefix;
        return text(a.id) < text(b.id);
    });
    std::vector<std::uint32_t> order(count);
    for (std::uint32_t i = 0; i < count; ++i) order[i] = keys[i].id;
    return order;
}

// Rows of a table keyed by name (several rules may share one), with the
// distinct hosts of each.
template <typename Row, typename Name>
class NamedRows {
public:
    std::uint32_t RowOf(const Name& name) {
        const auto [at, added] =
            m_index.try_emplace(name, static_cast<std::uint32_t>(m_rows.size()));
        if (added) m_rows.push_back(MakeRow(name));
        return at->second;
    }
    void Count(std::uint32_t row, std::int64_t hits) { m_rows[row].hits += hits; }
    void Visit(std::uint32_t row, std::uint32_t host) { m_visitors.Add(row, host); }
    // The rows that have hits.
    std::vector<Row> Take() {
        const std::vector<std::int64_t> visitors = m_visitors.HostsPerNumber(m_rows.size());
        for (std::size_t r = 0; r < m_rows.size(); ++r) m_rows[r].visitors = visitors[r];
        std::vector<Row> rows;
        for (Row& row : m_rows)
            if (row.hits > 0) rows.push_back(std::move(row));
        return rows;
    }

private:
    static Row MakeRow(const Name& name) {
        Row row;
        if constexpr (std::is_same_v<Row, RobotRow>) {
            row.name = std::get<0>(name);
            row.kind = std::get<1>(name);
        } else {
            row.name = name;
        }
        return row;
    }
    std::map<Name, std::uint32_t> m_index;
    std::vector<Row> m_rows;
    DistinctPairs m_visitors;
};

using RobotName = std::tuple<std::string, RobotKind>;

}  // namespace

void InsightWhole::FinishTexts(Insight& insight) {
    const std::vector<std::int64_t> dayVisitors = m_dayHosts.HostsPerNumber(m_dayTallies.size());
    for (std::size_t d = 0; d < m_dayTallies.size(); ++d) m_dayTallies[d].visitors = dayVisitors[d];
    const std::vector<std::int64_t> pageVisitors = m_pageHosts.HostsPerNumber(m_pathTallies.size());
    const std::vector<std::int64_t> notFoundVisitors =
        m_notFoundHosts.HostsPerNumber(m_pathTallies.size());
    for (std::size_t p = 0; p < m_pathTallies.size(); ++p) {
        m_pathTallies[p].pageVisitors = pageVisitors[p];
        m_pathTallies[p].notFoundVisitors = notFoundVisitors[p];
    }

    InsightTotals& totals = insight.totals;
    std::sort(m_dayTallies.begin(), m_dayTallies.end(),
              [](const DayTally& a, const DayTally& b) { return a.day < b.day; });
    for (const DayTally& d : m_dayTallies) {
        insight.days.push_back(
            {d.day, d.hits, d.pages, d.visitors, d.visits, d.bytes, d.robotHits});
        totals.hits += d.hits;
        totals.pages += d.pages;
        totals.bytes = AddBytes(totals.bytes, d.bytes);
        totals.robotHits += d.robotHits;
        WeekdayRow& weekday = insight.weekdays[static_cast<std::size_t>(WeekdayOf(d.day))];
        weekday.hits += d.hits;
        weekday.pages += d.pages;
    }
    totals.humanHits = totals.hits - totals.robotHits;
    if (!m_dayTallies.empty()) {
        totals.firstDay = m_dayTallies.front().day;
        totals.lastDay = m_dayTallies.back().day;
    }

    const auto pathText = [&](std::uint32_t p) { return m_paths.Text(p); };
    const auto pathCount = static_cast<std::uint32_t>(m_pathTallies.size());
    for (const std::uint32_t p : OrderByHits(
             pathCount, [&](std::uint32_t i) { return m_pathTallies[i].pageHits; }, pathText)) {
        const PathTally& t = m_pathTallies[p];
        if (t.pageHits > 0)
            insight.pages.push_back({std::string(m_paths.Text(p)), t.pageHits, t.pageVisitors,
                                     t.pageBytes, t.entries, t.exits});
    }
    for (const std::uint32_t p : OrderByHits(
             pathCount, [&](std::uint32_t i) { return m_pathTallies[i].notFoundHits; }, pathText)) {
        const PathTally& t = m_pathTallies[p];
        if (t.notFoundHits > 0)
            insight.notFound.push_back(
                {std::string(m_paths.Text(p)), t.notFoundHits, t.notFoundVisitors});
    }

    for (std::size_t code = 0; code < m_statuses.size(); ++code)
        if (m_statuses[code] > 0)
            insight.statusCodes.push_back({static_cast<int>(code), m_statuses[code]});
    SortByHits(insight.statusCodes, [](const StatusRow& r) { return r.code; });

    const auto hitsTable = [](const InternTable& texts, const std::vector<std::int64_t>& hits) {
        std::vector<HitsRow> rows;
        for (const std::uint32_t t : OrderByHits(
                 texts.Count(), [&](std::uint32_t i) { return hits[i]; },
                 [&](std::uint32_t i) { return texts.Text(i); }))
            rows.push_back({std::string(texts.Text(t)), hits[t]});
        return rows;
    };
    insight.referringSites = hitsTable(m_sites, m_siteHits);
    insight.searchPhrases = hitsTable(m_phrases, m_phraseHits);
    std::map<std::string, std::int64_t> engines;
    const auto& engineRules = m_rules.engines.Rules();
    for (std::size_t r = 0; r < engineRules.size(); ++r)
        if (m_engineHits[r] > 0) engines[engineRules[r].name] += m_engineHits[r];
    for (const auto& [name, hits] : engines) insight.searchEngines.push_back({name, hits});
    SortByHits(insight.searchEngines, [](const HitsRow& r) -> const std::string& { return r.key; });
}

void InsightWhole::FinishAgents(Insight& insight) {
    InsightTotals& totals = insight.totals;
    // Browsers, systems and devices of human requests; robots by name and kind.
    const auto& rules = m_rules.agents.Rules();
    NamedRows<NameRow, std::string> browsers, systems, devices;
    NamedRows<RobotRow, RobotName> robots;
    const auto nameOf = [&](std::uint32_t rule) {
        return rule == AgentMatch::kNone ? std::string(kOtherName) : rules[rule].name;
    };
    // The rows of each agent, and of the lines without one (agent key 0).
    struct AgentRows {
        std::uint32_t browser, system, device, robot;
        bool robotic;
    };
    std::vector<AgentRows> agentRows;
    agentRows.reserve(m_agentTallies.size() + 1);
    agentRows.push_back({browsers.RowOf(kOtherName), systems.RowOf(kOtherName),
                         devices.RowOf(kOtherName), kNone, false});
    for (std::uint32_t a = 0; a < m_agentTallies.size(); ++a) {
        const AgentTally& t = m_agentTallies[a];
        AgentRows row{};
        row.robotic = t.robot;
        if (t.robot) {
            const std::string_view text = m_agents.Text(a);
            const bool noAgent = text == "-" || text.empty();
            const AgentRule* rule = noAgent ? nullptr : &rules[t.match.robot];
            row.robot = robots.RowOf(
                {noAgent ? kNoAgentName : rule->name,
                 rule && rule->kind == AgentKind::Ai ? RobotKind::Ai : RobotKind::Bot});
            robots.Count(row.robot, t.hits);
            if (rule && rule->kind == AgentKind::Ai) totals.aiHits += t.hits;
        } else {
            row.browser = browsers.RowOf(nameOf(t.match.browser));
            row.system = systems.RowOf(nameOf(t.match.os));
            row.device = devices.RowOf(nameOf(t.match.device));
            browsers.Count(row.browser, t.hits);
            systems.Count(row.system, t.hits);
            devices.Count(row.device, t.hits);
        }
        agentRows.push_back(row);
    }
    browsers.Count(agentRows[0].browser, m_noAgentHits);
    systems.Count(agentRows[0].system, m_noAgentHits);
    devices.Count(agentRows[0].device, m_noAgentHits);
    for (std::uint32_t p = 0; p < m_pairs.Count(); ++p) {
        const std::uint64_t key = m_pairs.Key(p);
        const auto host = static_cast<std::uint32_t>(key >> 32);
        const AgentRows& row = agentRows[static_cast<std::uint32_t>(key)];
        if (row.robotic) {
            robots.Visit(row.robot, host);
        } else {
            browsers.Visit(row.browser, host);
            systems.Visit(row.system, host);
            devices.Visit(row.device, host);
        }
    }
    m_pairs = KeyTable();  // the tables below need the room
    insight.browsers = browsers.Take();
    insight.operatingSystems = systems.Take();
    insight.devices = devices.Take();
    insight.robots = robots.Take();
    for (auto* table : {&insight.browsers, &insight.operatingSystems, &insight.devices})
        SortByHits(*table, [](const NameRow& r) -> const std::string& { return r.name; });
    SortByHits(insight.robots, [](const RobotRow& r) { return std::tie(r.name, r.kind); });
}

std::vector<std::uint32_t> InsightWhole::HostOrder() const {
    return OrderByHits(
        m_hosts.Count(), [&](std::uint32_t i) { return m_hostTallies[i].hits; },
        [&](std::uint32_t i) { return m_hosts.Text(i); });
}

void InsightWhole::HostRows(const std::vector<std::uint32_t>& order, std::size_t first,
                            std::size_t end, std::vector<HostRow>& rows) const {
    for (std::size_t r = first; r < end; ++r) {
        const std::uint32_t h = order[r];
        const HostTally& t = m_hostTallies[h];
        rows[r] = {std::string(m_hosts.Text(h)),
                   t.hits,
                   t.pages,
                   t.bytes,
                   {t.lastSeen.day, t.lastSeen.hour, t.lastSeen.minute, t.lastSeen.second}};
    }
}

void InsightWhole::FinishHosts(std::vector<HostRow>& rows) {
    const std::vector<std::uint32_t> order = HostOrder();
    rows.resize(order.size());
    HostRows(order, 0, order.size(), rows);
    m_hosts = InternTable(InternTable::Storage::Views);
    m_hostTallies = {};
}

void InsightWhole::FinishHostsBeside(Insight& insight) {
    // The hosts' order is found on another thread while this one makes the
    // other tables, which don't read the hosts' tables; then each thread
    // makes half the rows.
    std::vector<std::uint32_t> order;
    std::exception_ptr orderFailed, rowsFailed;
    std::atomic<bool> ordered{false};
    std::vector<HostRow>& rows = insight.hosts;
    rows.resize(m_hostTallies.size());
    const std::size_t half = rows.size() / 2;
    LongTask beside([&] {
        try {
            order = HostOrder();
        } catch (...) {
            orderFailed = std::current_exception();
        }
        ordered.store(true);
        ordered.notify_one();
        if (orderFailed) return;
        try {
            HostRows(order, half, order.size(), rows);
        } catch (...) {
            rowsFailed = std::current_exception();
        }
    });
    if (!beside.Started()) {
        order = HostOrder();
        ordered.store(true);
        HostRows(order, half, order.size(), rows);
    }
    FinishTexts(insight);
    FinishAgents(insight);
    FinishVirtualHosts(insight);
    ordered.wait(false);
    if (orderFailed) std::rethrow_exception(orderFailed);
    HostRows(order, 0, half, rows);
    beside.Wait();
    if (rowsFailed) std::rethrow_exception(rowsFailed);
    m_hosts = InternTable(InternTable::Storage::Views);
    m_hostTallies = {};
}

void InsightWhole::FinishVirtualHosts(Insight& insight) {
    const std::vector<std::int64_t> visitors = m_vhostHosts.HostsPerNumber(m_vhostTallies.size());
    for (const std::uint32_t v : OrderByHits(
             m_vhosts.Count(), [&](std::uint32_t i) { return m_vhostTallies[i].hits; },
             [&](std::uint32_t i) { return m_vhosts.Text(i); })) {
        const VirtualHostTally& t = m_vhostTallies[v];
        insight.vhosts.push_back(
            {std::string(m_vhosts.Text(v)), t.hits, t.pages, visitors[v], t.bytes});
    }
}

Insight InsightWhole::Finish(bool hostsBeside) {
    // The visits still going end with the log.
    for (const Visit& visit : m_visits)
        if (visit.lastPath != kNone) EndVisit(visit);
    m_visits = {};  // the tables below need the room
    for (InternTable* texts : {&m_hosts, &m_paths, &m_agents, &m_sites, &m_phrases})
        texts->DropIndex();
    m_pairs.DropIndex();

    Insight insight;
    insight.totals.unparsed = m_unparsed;
    insight.totals.visitors = m_hosts.Count();
    insight.totals.visits = m_visitCount;
    insight.visitDurations = m_durations;
    if (hostsBeside) {
        FinishHostsBeside(insight);
        return insight;
    }
    // One group after the other, each letting go of the whole's tables it is
    // done with before the next makes its rows: the finish then needs little
    // more memory than the merged whole, and the hosts' rows, the largest,
    // come last.
    ReturnFreedPages();
    FinishTexts(insight);
    FinishAgents(insight);
    FinishVirtualHosts(insight);
    ReturnFreedPages();
    FinishHosts(insight.hosts);
    return insight;
}

}  // namespace pomurina
