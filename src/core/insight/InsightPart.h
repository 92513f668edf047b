#pragma once
// The insight of one batch of lines, read on any thread, to be merged into
// the whole in log order (see InsightWhole.h).  Everything counted here is
// counted per distinct text (host, path, agent, referrer) numbered within
// the part, so that the merge works once per text and not once per line;
// what depends on the order of lines across batches (visits) is kept as one
// small record per page, in log order, for the merge to play back.
#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "insight/AccessLine.h"
#include "insight/AgentRules.h"
#include "insight/InsightRules.h"
#include "insight/InternTable.h"
#include "insight/KeySet.h"
#include "insight/KeyTable.h"
#include "insight/RecentTexts.h"

namespace pomurina {

class InsightPart {
public:
    // rules must outlive the part.  expectedLines: how many lines the part
    // will likely read, so that its tables start at about their size.
    explicit InsightPart(const InsightRules& rules, std::size_t expectedLines = 0);

    // Makes the part that of no lines again, keeping its room, so that the
    // next batch can be read into it without fresh memory.
    void Clear();

    // Reads the next line.  Lines must outlive the whole they are merged into:
    // the tables keep views of their hosts, paths and agents.
    void Read(std::string_view line);

private:
    friend class InsightWhole;
    static constexpr std::uint32_t kNone = 0xFFFFFFFFu;

    struct DayTally {
        std::int32_t day;
        std::int64_t hits = 0, pages = 0, bytes = 0, robotHits = 0;
    };
    struct HostTally {
        std::int64_t hits = 0, pages = 0, bytes = 0;
        WrittenTime lastSeen;
        std::uint32_t lastDay = kNone;  // the day row last noted for the host's visitors
        // The host's last agent and visitor (a host keeps its agent from line
        // to line) and its last referrer (a page's files name the page).
        std::string_view agent, referrer;
        std::uint32_t agentKey = kNone, pair = kNone, referrerId = kNone;
    };
    struct PathTally {
        std::int64_t pageHits = 0, pageBytes = 0, notFoundHits = 0;
        bool isStatic = false;
    };
    struct AgentTally {
        std::int64_t hits = 0;
        AgentMatch match;
        bool robot = false;
    };
    struct VirtualHostTally {
        std::int64_t hits = 0, pages = 0, bytes = 0;
    };
    // A page of a human visitor, in log order.
    struct PageVisit {
        std::int64_t time;
        std::uint32_t pair, path, day;
    };
    // What a referrer says, worked out once per distinct referrer.
    struct ReferrerFacts {
        std::uint32_t site = kNone, engine = kNone, phrase = kNone;
    };

    std::uint32_t DayRow(std::int32_t day);
    std::uint32_t HostId(std::string_view host);
    // 0 for a line without an agent, else the agent's number + 1.
    std::uint32_t AgentKey(const AccessLine& fields);
    // The visitor (host and agent) of a line of host's.
    std::uint32_t PairOf(std::uint32_t host, const AccessLine& fields);
    std::uint32_t PathId(std::string_view path);
    std::uint32_t VirtualHostId(std::string_view vhost);
    void CountReferrer(HostTally& host, std::string_view referrer);
    ReferrerFacts FactsOf(std::string_view referrer);

    const InsightRules& m_rules;
    AccessLineReader m_reader;
    std::int64_t m_unparsed = 0;
    std::array<std::int64_t, 600> m_statuses{};

    KeyTable m_days;  // by day number
    std::vector<DayTally> m_dayTallies;
    InternTable m_hosts{InternTable::Storage::Views};
    std::vector<HostTally> m_hostTallies;
    InternTable m_paths{InternTable::Storage::Views};
    RecentTexts<8> m_recentPaths;
    std::vector<PathTally> m_pathTallies;
    InternTable m_agents{InternTable::Storage::Views};
    RecentTexts<6> m_recentAgents;
    std::vector<AgentTally> m_agentTallies;
    std::int64_t m_noAgentHits = 0;  // lines in the common format
    KeyTable m_pairs;                // (host, agent key)

    // (day row, host) whenever a host's day changes: the whole counts each once.
    std::vector<std::uint64_t> m_dayHosts;
    KeySet m_pageHosts, m_notFoundHosts;  // (path, host)
    std::vector<PageVisit> m_pageVisits;

    InternTable m_referrers{InternTable::Storage::Views};
    RecentTexts<10> m_recentReferrers;
    std::vector<ReferrerFacts> m_referrerFacts;
    InternTable m_sites{InternTable::Storage::Copies};  // lowercased hosts
    std::vector<std::int64_t> m_siteHits;
    InternTable m_phrases{InternTable::Storage::Copies};  // UTF-8
    std::vector<std::int64_t> m_phraseHits;
    std::vector<std::int64_t> m_engineHits;  // by rule

    InternTable m_vhosts{InternTable::Storage::Views};
    std::vector<VirtualHostTally> m_vhostTallies;
    KeySet m_vhostHosts;  // (vhost, host)
    std::string_view m_lastVhost;
    std::uint32_t m_lastVhostId = kNone;

    // The last line's host: visitors ask for several files in a row.
    std::string_view m_lastHost;
    std::uint32_t m_lastHostId = kNone;
    std::int32_t m_lastDay = 0;
    std::uint32_t m_lastDayRow = kNone;
    std::string m_scratch;
};

}  // namespace pomurina
