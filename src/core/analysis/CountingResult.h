#pragma once
// The outcome of one analysis run: the loaded lines, the collections the
// lines are sorted into, the counters and the hour arrays.  Collections are
// shared so that panes can keep showing them after the run has let go.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "analysis/DistinctList.h"
#include "analysis/EntryList.h"
#include "analysis/HostExtractLines.h"
#include "text/TextLines.h"

namespace pomurina {

using HourCounts = std::array<std::int64_t, 24>;

struct CountingResult {
    // Takes the loaded log; every collection starts empty, every counter at 0.
    explicit CountingResult(std::shared_ptr<const TextLines> logLines);
    // A part of a run: the result of the lines from firstLine on, to be
    // merged into the result of the lines before (see ResultMerge.h).
    CountingResult(std::shared_ptr<const TextLines> logLines, std::size_t firstLine);

    std::shared_ptr<const TextLines> LogLines;

    std::shared_ptr<HostExtractLines> HostExtract;  // Time Host Path, one per line
    DistinctList HostNames;
    std::shared_ptr<EntryList> CheckDomeinHits;  // whole lines
    std::shared_ptr<EntryList> GetExtract;       // Time Path
    DistinctList GetFiles;
    std::shared_ptr<EntryList> Get403, Get404;    // Time Host Path
    std::shared_ptr<EntryList> GetOther;          // whole lines
    std::shared_ptr<EntryList> ReferrerHits;      // Time [Referrer] Path
    std::shared_ptr<EntryList> ForeignReferrers;  // [Referrer] Path
    std::shared_ptr<EntryList> RobotHits;         // *Host Time [Path] Agent, or Host Time Agent
    std::shared_ptr<EntryList> PostExtract;       // Time Path
    DistinctList PostFiles;
    std::shared_ptr<EntryList> Post403, Post404;  // Time Host Path
    std::shared_ptr<EntryList> PostOther;         // whole lines
    std::shared_ptr<EntryList> Host403, Host404;  // Time Host Path
    std::shared_ptr<EntryList> HostOther;         // whole lines

    // Counters are 64-bit so that no log held in memory can overflow them.
    std::int64_t LineCount = 0;
    std::int64_t HostCount = 0;
    std::int64_t GetCount = 0;
    std::int64_t GetFileCount = 0;
    std::int64_t Get200Count = 0;
    std::int64_t PostCount = 0;
    std::int64_t PostFileCount = 0;
    std::int64_t Post200Count = 0;
    std::int64_t Host200Count = 0;
    std::int64_t FaviconCount = 0;
    std::int64_t FaviconMsieCount = 0;
    HourCounts AllHours{};
    HourCounts GetHours{};
    HourCounts PostHours{};
    double TransferTotal = 0;

    // A part keeps its sizes in log order instead of adding them to
    // TransferTotal, so that the whole adds them in its own order: a sum of
    // doubles can depend on the order of its terms once it passes 2^53.
    bool IsPart = false;
    std::vector<double> PartSizes;

    // Whether the whole takes in the extracts of its parts: the host, GET,
    // POST and referrer extracts and the whole lines of other statuses.  A
    // streamed run whose outputs never show them leaves them empty.
    bool KeepsExtracts = true;

    // Every collection of composed entries, in the order of the members.
    static const std::array<std::shared_ptr<EntryList> CountingResult::*, 15> kEntryLists;
    // Those of them that are extracts (see KeepsExtracts).
    static bool IsExtract(std::shared_ptr<EntryList> CountingResult::*list);
    // Packs the entries of every collection (EntryList::Settle).
    void SettleEntries();
};

// The forms of the composed entries.
enum RobotForm : unsigned { kListedRobot = 0, kRobotsFile = 1 };

}  // namespace pomurina
