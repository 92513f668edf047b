#pragma once
// One batch of lines classified into a part of the result of its own (and
// of the insight), on any thread, and merged into the whole on the calling
// thread in log order.  The batches of a run share this, which keeps the
// insight's parts once merged for later batches: their tables keep their
// room, so a batch seldom allocates.
#include <array>
#include <atomic>
#include <cstddef>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "analysis/CountingResult.h"
#include "analysis/ParallelClassification.h"
#include "analysis/ReferenceLists.h"
#include "insight/InsightPart.h"
#include "insight/InsightWhole.h"

namespace pomurina {

struct ClassifiedBatch {
    std::unique_ptr<CountingResult> part;
    std::unique_ptr<InsightPart> insight;
    std::exception_ptr error;  // of its failing line
};

class BatchClassifier {
public:
    BatchClassifier(const ReferenceLists& lists, CountingResult& whole, const ClassifyPlan& plan,
                    InsightWhole* insight);

    // Classifies lines first to end of lines into batch (any thread); false
    // when a line failed (no later line counts).
    bool Classify(const std::shared_ptr<const TextLines>& lines, std::size_t first, std::size_t end,
                  ClassifiedBatch& batch);
    // Merges batch into the whole, then runs afterBatch, then throws on the
    // batch's failure (which wins over anything afterBatch throws).
    void Merge(ClassifiedBatch& batch, const std::function<void()>& afterBatch);

private:
    std::unique_ptr<InsightPart> TakeInsightPart();
    // Measures what each of the whole's entry lists has room for.
    void MeasureRoom();

    const ReferenceLists& m_lists;
    CountingResult& m_whole;
    InsightWhole* const m_insight;
    const std::size_t m_batchLines;
    const bool m_packParts;
    // A part keeps no more entries of each of CountingResult::kEntryLists
    // than the whole has room for (a streamed whole keeps only a few; the
    // part's earlier parts may fill it), and only counts the rest.  The room
    // only shrinks as parts are merged, so a measure taken before a part's
    // merge serves it, whichever thread reads it.
    std::array<std::atomic<std::size_t>, CountingResult::kEntryLists.size()> m_room;
    std::mutex m_mutex;
    std::vector<std::unique_ptr<InsightPart>> m_freeInsightParts;
};

}  // namespace pomurina
