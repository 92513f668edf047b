#pragma once
// Classifying the lines of a run on every core: the lines are cut into
// batches, each batch is classified into a part of the result of its own,
// and the parts are merged into the whole in log order on the calling
// thread, which classifies batches too.  The whole then equals classifying
// every line in turn, failures included: the first failing line stops the
// run with everything before it merged (its own earlier steps too), and no
// later line counts.  The insight, when asked for, is read in the same pass
// and merged in the same order.
#include <cstddef>
#include <functional>
#include <memory>

#include "analysis/CountingResult.h"
#include "analysis/ReferenceLists.h"
#include "insight/InsightWhole.h"

namespace pomurina {

struct ClassifyPlan {
    unsigned threads = 0;  // 0: one for every core
    std::size_t batchLines = 8192;
    // Of logs still being read or unpacked: how much more must arrive
    // before the lines that have arrived are classified.
    std::size_t arrivingBytes = std::size_t{16} << 20;
    // A streamed run reads its logs this many bytes at a time and keeps
    // only what its outputs show (the report tool's); 0 holds the logs whole.
    std::size_t blockBytes = 0;
    // Whether a streamed run keeps the extracts (CountingResult::KeepsExtracts).
    bool keepExtracts = true;
    // How many entries of each collection a streamed run keeps; the rest are
    // counted (EntryList::KeepAtMost).
    std::size_t keepEntries = static_cast<std::size_t>(-1);
    // Whether converted logs are kept as their files have them
    // (RunResult::originals: the window's raw-log pane shows those lines).
    bool keepOriginals = false;
};

// Classifies the lines of whole.LogLines from line whole.LineCount on into
// whole.  afterBatch runs on the calling thread after every merge, the merge
// of a failing line's batch included, before its error is thrown on (which
// then wins over anything afterBatch throws).  With insight, every line
// classified is read into it too (the batch of a failing line is not: the
// run that fails has no insight).
void ClassifyLines(const ReferenceLists& lists, CountingResult& whole, const ClassifyPlan& plan,
                   const std::function<void()>& afterBatch, InsightWhole* insight = nullptr);

}  // namespace pomurina
