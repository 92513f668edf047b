#pragma once
// The insight of a run, put together from its parts in log order on one
// thread, then finished into the tables.  The parts are read on any thread
// (see InsightPart.h); merging them in log order gives exactly what reading
// every line in one part gives, visits included: a visit depends on the
// order of its visitor's pages, and the merge plays those back in order.
// A failed run has no insight: drop the parts and the whole unfinished.
#include <array>
#include <cstdint>
#include <vector>

#include "insight/DistinctPairs.h"
#include "insight/Insight.h"
#include "insight/InsightPart.h"

namespace pomurina {

class InsightWhole {
public:
    // rules must outlive the whole.  texts: whether the hosts, pages and
    // agents are kept as views of the log's lines (which then outlive the
    // whole) or as copies (a log let go as it is read).
    explicit InsightWhole(const InsightRules& rules,
                          InternTable::Storage texts = InternTable::Storage::Views);

    // The rules its parts are to read by.
    const InsightRules& Rules() const { return m_rules; }

    // Takes in the part of the lines that follow those merged so far.
    void Merge(const InsightPart& part);
    // The tables of every line merged; the whole is spent.  The hosts' rows,
    // the largest, are made last, once the rest is let go, or with
    // hostsBeside on another thread beside the rest (their order there, and
    // half their rows on each thread once both are done): sooner, but the
    // peak memory then holds both.
    Insight Finish(bool hostsBeside = false);
    // The bytes its tables take.
    std::size_t Footprint() const;

private:
    static constexpr std::uint32_t kNone = InsightPart::kNone;

    struct DayTally {
        std::int32_t day;
        std::int64_t hits = 0, pages = 0, bytes = 0, robotHits = 0, visitors = 0, visits = 0;
    };
    struct HostTally {
        std::int64_t hits = 0, pages = 0, bytes = 0;
        WrittenTime lastSeen;
        std::uint32_t lastDay = kNone;  // the day last paired with the host
    };
    struct PathTally {
        std::int64_t pageHits = 0, pageBytes = 0, pageVisitors = 0, entries = 0, exits = 0;
        std::int64_t notFoundHits = 0, notFoundVisitors = 0;
    };
    struct AgentTally {
        std::int64_t hits = 0;
        AgentMatch match;
        bool robot = false;
    };
    struct VirtualHostTally {
        std::int64_t hits = 0, pages = 0, bytes = 0;
    };
    // The visit a visitor (host and agent) is on: one per pair, so kept small.
    struct Visit {
        std::int64_t latest = 0;
        std::uint32_t length = 0;        // latest minus the earliest time
        std::uint32_t lastPath = kNone;  // kNone: no visit yet
    };

    void MergeTexts(const InsightPart& part);
    void PlayVisits(const InsightPart& part);
    void EndVisit(const Visit& visit);
    // The parts of the finish, each of its own tables and counts.
    void FinishTexts(Insight& insight);
    void FinishAgents(Insight& insight);
    void FinishHosts(std::vector<HostRow>& rows);
    // The hosts by hits, most first, then by name.
    std::vector<std::uint32_t> HostOrder() const;
    // The rows of the hosts order[first] to order[end - 1], into those of rows.
    void HostRows(const std::vector<std::uint32_t>& order, std::size_t first, std::size_t end,
                  std::vector<HostRow>& rows) const;
    void FinishHostsBeside(Insight& insight);
    void FinishVirtualHosts(Insight& insight);

    const InsightRules& m_rules;
    std::int64_t m_unparsed = 0;
    std::array<std::int64_t, 600> m_statuses{};
    KeyTable m_days;
    std::vector<DayTally> m_dayTallies;
    InternTable m_hosts;
    std::vector<HostTally> m_hostTallies;
    InternTable m_paths;
    std::vector<PathTally> m_pathTallies;
    InternTable m_agents;
    std::vector<AgentTally> m_agentTallies;
    std::int64_t m_noAgentHits = 0;
    KeyTable m_pairs;
    std::vector<Visit> m_visits;  // by pair
    std::int64_t m_visitCount = 0;
    std::array<std::int64_t, 7> m_durations{};
    // (day, host), (page, host), (404 path, host): the visitors, counted at the end.
    DistinctPairs m_dayHosts, m_pageHosts, m_notFoundHosts;
    InternTable m_sites{InternTable::Storage::Copies};
    std::vector<std::int64_t> m_siteHits;
    std::vector<std::int64_t> m_engineHits;  // by rule
    InternTable m_phrases{InternTable::Storage::Copies};
    std::vector<std::int64_t> m_phraseHits;
    InternTable m_vhosts;
    std::vector<VirtualHostTally> m_vhostTallies;
    DistinctPairs m_vhostHosts;  // (vhost, host)

    // A part's numbers in the whole, kept between merges to save allocations.
    std::vector<std::uint32_t> m_dayMap, m_hostMap, m_pathMap, m_agentMap, m_pairMap,
        m_vhostMap;
};

}  // namespace pomurina
