#include "insight/InsightWhole.h"

#include <algorithm>

#include "insight/ByteSum.h"

namespace pomurina {
namespace {

// A visit ends when its visitor's next page comes this long after its latest.
constexpr std::int64_t kVisitGap = 1800;
constexpr std::int64_t kLongestLength = 0xFFFFFFFF;

std::size_t DurationBucket(std::int64_t seconds) {
    static constexpr std::int64_t kFrom[] = {30, 120, 300, 900, 1800, 3600};
    std::size_t bucket = 0;
    while (bucket < std::size(kFrom) && seconds >= kFrom[bucket]) ++bucket;
    return bucket;
}

std::uint32_t High(std::uint64_t key) {
    return static_cast<std::uint32_t>(key >> 32);
}
std::uint32_t Low(std::uint64_t key) {
    return static_cast<std::uint32_t>(key);
}

}  // namespace

InsightWhole::InsightWhole(const InsightRules& rules, InternTable::Storage texts)
    : m_rules(rules),
      m_hosts(texts),
      m_paths(texts),
      m_agents(texts),
      m_engineHits(rules.engines.Rules().size(), 0),
      m_vhosts(texts) {}

std::size_t InsightWhole::Footprint() const {
    const auto bytes = [](const auto& vector) {
        return vector.capacity() * sizeof(vector.front());
    };
    return m_days.Footprint() + bytes(m_dayTallies) + m_hosts.Footprint() + bytes(m_hostTallies) +
           m_paths.Footprint() + bytes(m_pathTallies) + m_agents.Footprint() +
           bytes(m_agentTallies) + m_pairs.Footprint() + bytes(m_visits) +
           m_dayHosts.Footprint() + m_pageHosts.Footprint() + m_notFoundHosts.Footprint() +
           m_sites.Footprint() + bytes(m_siteHits) + bytes(m_engineHits) + m_phrases.Footprint() +
           bytes(m_phraseHits) + bytes(m_dayMap) + bytes(m_hostMap) + bytes(m_pathMap) +
           bytes(m_agentMap) + bytes(m_pairMap) + m_vhosts.Footprint() + bytes(m_vhostTallies) +
           m_vhostHosts.Footprint() + bytes(m_vhostMap);
}

void InsightWhole::Merge(const InsightPart& part) {
    m_unparsed += part.m_unparsed;
    for (std::size_t code = 0; code < m_statuses.size(); ++code)
        m_statuses[code] += part.m_statuses[code];
    MergeTexts(part);
    PlayVisits(part);
}

void InsightWhole::MergeTexts(const InsightPart& part) {
    m_dayMap.resize(part.m_dayTallies.size());
    for (std::size_t d = 0; d < part.m_dayTallies.size(); ++d) {
        const InsightPart::DayTally& from = part.m_dayTallies[d];
        const KeyTable::Found found = m_days.Add(static_cast<std::uint32_t>(from.day));
        if (found.added) m_dayTallies.push_back({from.day});
        DayTally& to = m_dayTallies[found.id];
        to.hits += from.hits;
        to.pages += from.pages;
        to.bytes = AddBytes(to.bytes, from.bytes);
        to.robotHits += from.robotHits;
        m_dayMap[d] = found.id;
    }

    m_hostMap.resize(part.m_hostTallies.size());
    for (std::uint32_t h = 0; h < part.m_hostTallies.size(); ++h) {
        const InsightPart::HostTally& from = part.m_hostTallies[h];
        const InternTable::Found found = m_hosts.Add(part.m_hosts.Text(h), part.m_hosts.Hash(h));
        if (found.added) m_hostTallies.emplace_back();
        HostTally& to = m_hostTallies[found.id];
        // Among equal times the first in log order stays.
        if (to.hits == 0 || from.lastSeen.Seconds() > to.lastSeen.Seconds())
            to.lastSeen = from.lastSeen;
        to.hits += from.hits;
        to.pages += from.pages;
        to.bytes = AddBytes(to.bytes, from.bytes);
        m_hostMap[h] = found.id;
    }
    // Most hosts come on one day: a pair just added needn't be added again.
    for (const std::uint64_t key : part.m_dayHosts) {
        const std::uint32_t day = m_dayMap[High(key)], host = m_hostMap[Low(key)];
        if (m_hostTallies[host].lastDay == day) continue;
        m_hostTallies[host].lastDay = day;
        m_dayHosts.Add(day, host);
    }

    m_pathMap.resize(part.m_pathTallies.size());
    for (std::uint32_t p = 0; p < part.m_pathTallies.size(); ++p) {
        const InsightPart::PathTally& from = part.m_pathTallies[p];
        const InternTable::Found found = m_paths.Add(part.m_paths.Text(p), part.m_paths.Hash(p));
        if (found.added) m_pathTallies.emplace_back();
        PathTally& to = m_pathTallies[found.id];
        to.pageHits += from.pageHits;
        to.pageBytes = AddBytes(to.pageBytes, from.pageBytes);
        to.notFoundHits += from.notFoundHits;
        m_pathMap[p] = found.id;
    }
    part.m_pageHosts.ForEach(
        [&](std::uint64_t key) { m_pageHosts.Add(m_pathMap[High(key)], m_hostMap[Low(key)]); });
    part.m_notFoundHosts.ForEach(
        [&](std::uint64_t key) { m_notFoundHosts.Add(m_pathMap[High(key)], m_hostMap[Low(key)]); });

    m_agentMap.resize(part.m_agentTallies.size());
    for (std::uint32_t a = 0; a < part.m_agentTallies.size(); ++a) {
        const InsightPart::AgentTally& from = part.m_agentTallies[a];
        const InternTable::Found found = m_agents.Add(part.m_agents.Text(a), part.m_agents.Hash(a));
        if (found.added) m_agentTallies.push_back({0, from.match, from.robot});
        m_agentTallies[found.id].hits += from.hits;
        m_agentMap[a] = found.id;
    }
    m_noAgentHits += part.m_noAgentHits;
    m_pairMap.resize(part.m_pairs.Count());
    for (std::uint32_t p = 0; p < part.m_pairs.Count(); ++p) {
        const std::uint64_t key = part.m_pairs.Key(p);
        const std::uint32_t agentKey = Low(key) == 0 ? 0 : m_agentMap[Low(key) - 1] + 1;
        m_pairMap[p] = m_pairs.Add(PairKey(m_hostMap[High(key)], agentKey)).id;
    }
    m_visits.resize(m_pairs.Count());

    for (std::uint32_t s = 0; s < part.m_sites.Count(); ++s) {
        const std::uint32_t site = m_sites.Add(part.m_sites.Text(s), part.m_sites.Hash(s)).id;
        if (site == m_siteHits.size()) m_siteHits.push_back(0);
        m_siteHits[site] += part.m_siteHits[s];
    }
    for (std::uint32_t p = 0; p < part.m_phrases.Count(); ++p) {
        const std::uint32_t phrase =
            m_phrases.Add(part.m_phrases.Text(p), part.m_phrases.Hash(p)).id;
        if (phrase == m_phraseHits.size()) m_phraseHits.push_back(0);
        m_phraseHits[phrase] += part.m_phraseHits[p];
    }
    for (std::size_t e = 0; e < m_engineHits.size(); ++e) m_engineHits[e] += part.m_engineHits[e];

    m_vhostMap.resize(part.m_vhostTallies.size());
    for (std::uint32_t v = 0; v < part.m_vhostTallies.size(); ++v) {
        const InsightPart::VirtualHostTally& from = part.m_vhostTallies[v];
        const InternTable::Found found = m_vhosts.Add(part.m_vhosts.Text(v), part.m_vhosts.Hash(v));
        if (found.added) m_vhostTallies.emplace_back();
        VirtualHostTally& to = m_vhostTallies[found.id];
        to.hits += from.hits;
        to.pages += from.pages;
        to.bytes = AddBytes(to.bytes, from.bytes);
        m_vhostMap[v] = found.id;
    }
    part.m_vhostHosts.ForEach(
        [&](std::uint64_t key) { m_vhostHosts.Add(m_vhostMap[High(key)], m_hostMap[Low(key)]); });
}

void InsightWhole::EndVisit(const Visit& visit) {
    ++m_pathTallies[visit.lastPath].exits;
    ++m_durations[DurationBucket(visit.length)];
}

void InsightWhole::PlayVisits(const InsightPart& part) {
    for (const InsightPart::PageVisit& page : part.m_pageVisits) {
        Visit& visit = m_visits[m_pairMap[page.pair]];
        const std::uint32_t path = m_pathMap[page.path];
        if (visit.lastPath == kNone || page.time >= visit.latest + kVisitGap) {
            if (visit.lastPath != kNone) EndVisit(visit);
            visit = {page.time, 0, path};
            ++m_visitCount;
            ++m_dayTallies[m_dayMap[page.day]].visits;
            ++m_pathTallies[path].entries;
        } else {
            // A length only grows, and past an hour only its bucket counts:
            // it stops at 2^32 - 1 s (a page dated years back).
            const std::int64_t earliest =
                std::min(visit.latest - std::int64_t{visit.length}, page.time);
            visit.latest = std::max(visit.latest, page.time);
            visit.length = static_cast<std::uint32_t>(
                std::min<std::int64_t>(visit.latest - earliest, kLongestLength));
            visit.lastPath = path;
        }
    }
}

}  // namespace pomurina
