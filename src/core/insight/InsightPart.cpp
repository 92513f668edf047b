#include "insight/InsightPart.h"

#include <algorithm>

#include "insight/ByteSum.h"
#include "insight/ReferrerUrl.h"
#include "insight/SearchPhrase.h"

namespace pomurina {

InsightPart::InsightPart(const InsightRules& rules, std::size_t expectedLines) : m_rules(rules) {
    // Most lines repeat a host, a path or a referrer of the batch; a table
    // that outgrows its guess doubles.
    m_hosts.Reserve(expectedLines / 4);
    m_hostTallies.reserve(expectedLines / 4);
    m_paths.Reserve(expectedLines / 8);
    m_pathTallies.reserve(expectedLines / 8);
    m_referrers.Reserve(expectedLines / 8);
    m_referrerFacts.reserve(expectedLines / 8);
    m_engineHits.assign(rules.engines.Rules().size(), 0);
    m_pairs.Reserve(expectedLines / 4);
    m_pageHosts.Reserve(expectedLines / 2);
    m_pageVisits.reserve(expectedLines / 2);
    m_dayHosts.reserve(expectedLines / 4);
}

void InsightPart::Clear() {
    m_unparsed = 0;
    m_statuses.fill(0);
    m_days.Clear();
    m_dayTallies.clear();
    m_hosts.Clear();
    m_hostTallies.clear();
    m_paths.Clear();
    m_recentPaths.Clear();
    m_pathTallies.clear();
    m_agents.Clear();
    m_recentAgents.Clear();
    m_agentTallies.clear();
    m_noAgentHits = 0;
    m_pairs.Clear();
    m_dayHosts.clear();
    m_pageHosts.Clear();
    m_notFoundHosts.Clear();
    m_pageVisits.clear();
    m_referrers.Clear();
    m_recentReferrers.Clear();
    m_referrerFacts.clear();
    m_sites.Clear();
    m_siteHits.clear();
    m_phrases.Clear();
    m_phraseHits.clear();
    std::fill(m_engineHits.begin(), m_engineHits.end(), 0);
    m_vhosts.Clear();
    m_vhostTallies.clear();
    m_vhostHosts.Clear();
    m_reader = AccessLineReader();
    m_lastHostId = m_lastDayRow = m_lastVhostId = kNone;
}

std::uint32_t InsightPart::DayRow(std::int32_t day) {
    if (m_lastDayRow != kNone && day == m_lastDay) return m_lastDayRow;
    const KeyTable::Found found = m_days.Add(static_cast<std::uint32_t>(day));
    if (found.added) m_dayTallies.push_back({day});
    m_lastDay = day;
    m_lastDayRow = found.id;
    return found.id;
}

std::uint32_t InsightPart::HostId(std::string_view host) {
    if (m_lastHostId != kNone && SameBytes(host, m_lastHost)) return m_lastHostId;
    const InternTable::Found found = m_hosts.Add(host);
    if (found.added) m_hostTallies.emplace_back();
    m_lastHost = host;
    m_lastHostId = found.id;
    return found.id;
}

std::uint32_t InsightPart::AgentKey(const AccessLine& fields) {
    if (!fields.hasAgent) return 0;
    const InternTable::Found found = m_recentAgents.Add(m_agents, fields.agent);
    if (found.added) {
        AgentTally tally;
        tally.match = m_rules.agents.Match(fields.agent);
        tally.robot = IsRobotAgent(tally.match, fields.agent);
        m_agentTallies.push_back(tally);
    }
    return found.id + 1;
}

std::uint32_t InsightPart::PairOf(std::uint32_t host, const AccessLine& fields) {
    HostTally& tally = m_hostTallies[host];
    const bool same = fields.hasAgent ? tally.agentKey != 0 && tally.agentKey != kNone &&
                                            tally.agent == fields.agent
                                      : tally.agentKey == 0;
    if (!same) {
        tally.agentKey = AgentKey(fields);
        tally.agent = fields.agent;
        tally.pair = m_pairs.Add(PairKey(host, tally.agentKey)).id;
    }
    return tally.pair;
}

std::uint32_t InsightPart::PathId(std::string_view path) {
    const InternTable::Found found = m_recentPaths.Add(m_paths, path);
    if (found.added) {
        m_pathTallies.emplace_back();
        m_pathTallies.back().isStatic = IsStaticPath(path);
    }
    return found.id;
}

std::uint32_t InsightPart::VirtualHostId(std::string_view vhost) {
    if (m_lastVhostId != kNone && SameBytes(vhost, m_lastVhost)) return m_lastVhostId;
    const InternTable::Found found = m_vhosts.Add(vhost);
    if (found.added) m_vhostTallies.emplace_back();
    m_lastVhost = vhost;
    m_lastVhostId = found.id;
    return found.id;
}

void InsightPart::CountReferrer(HostTally& host, std::string_view referrer) {
    if (host.referrerId == kNone || !SameBytes(referrer, host.referrer)) {
        const InternTable::Found found = m_recentReferrers.Add(m_referrers, referrer);
        if (found.added) m_referrerFacts.push_back(FactsOf(referrer));
        host.referrer = referrer;
        host.referrerId = found.id;
    }
    const ReferrerFacts& facts = m_referrerFacts[host.referrerId];
    if (facts.site != kNone) ++m_siteHits[facts.site];
    if (facts.engine != kNone) ++m_engineHits[facts.engine];
    if (facts.phrase != kNone) ++m_phraseHits[facts.phrase];
}

InsightPart::ReferrerFacts InsightPart::FactsOf(std::string_view referrer) {
    ReferrerFacts facts;
    const auto url = ReadReferrerUrl(referrer);
    if (!url) return facts;
    m_scratch.clear();
    AppendAsciiLower(url->host, m_scratch);
    if (!m_scratch.empty() && !m_rules.ownDomains.AnyIn(referrer)) {
        facts.site = m_sites.Add(m_scratch).id;
        if (facts.site == m_siteHits.size()) m_siteHits.push_back(0);
    }
    const SearchEngineHit hit = m_rules.engines.Find(m_scratch, url->query);
    facts.engine = hit.rule;
    if (hit.rule != SearchEngineHit::kNone && ReadSearchPhrase(hit.value, url->query, m_scratch)) {
        facts.phrase = m_phrases.Add(m_scratch).id;
        if (facts.phrase == m_phraseHits.size()) m_phraseHits.push_back(0);
    }
    return facts;
}

void InsightPart::Read(std::string_view line) {
    AccessLine fields;
    if (!m_reader.Read(line, fields)) {
        ++m_unparsed;
        return;
    }
    const std::uint32_t day = DayRow(fields.time.day);
    const std::uint32_t host = HostId(fields.host);
    const std::uint32_t pair = PairOf(host, fields);
    const std::uint32_t agentKey = m_hostTallies[host].agentKey;
    const bool robot = agentKey != 0 && m_agentTallies[agentKey - 1].robot;
    if (agentKey == 0)
        ++m_noAgentHits;
    else
        ++m_agentTallies[agentKey - 1].hits;
    ++m_statuses[static_cast<std::size_t>(fields.status)];

    const std::uint32_t pathId = PathId(fields.path);
    PathTally& pathTally = m_pathTallies[pathId];
    const bool page = !pathTally.isStatic && fields.status < 400;

    DayTally& dayTally = m_dayTallies[day];
    ++dayTally.hits;
    dayTally.bytes = AddBytes(dayTally.bytes, fields.size);
    dayTally.robotHits += robot;
    dayTally.pages += page;

    HostTally& hostTally = m_hostTallies[host];
    ++hostTally.hits;
    hostTally.pages += page;
    hostTally.bytes = AddBytes(hostTally.bytes, fields.size);
    const std::int64_t time = fields.time.Seconds();
    if (hostTally.hits == 1 || time > hostTally.lastSeen.Seconds())
        hostTally.lastSeen = fields.time;
    if (hostTally.lastDay != day) {
        hostTally.lastDay = day;
        m_dayHosts.push_back(PairKey(day, host));
    }

    if (!fields.vhost.empty()) {
        const std::uint32_t vhost = VirtualHostId(fields.vhost);
        VirtualHostTally& vhostTally = m_vhostTallies[vhost];
        ++vhostTally.hits;
        vhostTally.pages += page;
        vhostTally.bytes = AddBytes(vhostTally.bytes, fields.size);
        m_vhostHosts.Add(PairKey(vhost, host));
    }
    if (page) {
        ++pathTally.pageHits;
        pathTally.pageBytes = AddBytes(pathTally.pageBytes, fields.size);
        m_pageHosts.Add(PairKey(pathId, host));
        if (!robot) m_pageVisits.push_back({time, pair, pathId, day});
    }
    if (fields.status == 404) {
        ++pathTally.notFoundHits;
        m_notFoundHosts.Add(PairKey(pathId, host));
    }
    if (!fields.referrer.empty() && (fields.referrer[0] == 'h' || fields.referrer[0] == 'H'))
        CountReferrer(hostTally, fields.referrer);
}

}  // namespace pomurina
