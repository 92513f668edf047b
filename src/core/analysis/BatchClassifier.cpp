#include "analysis/BatchClassifier.h"

#include <algorithm>

#include "analysis/ClassifyLine.h"
#include "analysis/ResultMerge.h"

namespace pomurina {

BatchClassifier::BatchClassifier(const ReferenceLists& lists, CountingResult& whole,
                                 const ClassifyPlan& plan, InsightWhole* insight)
    : m_lists(lists),
      m_whole(whole),
      m_insight(insight),
      m_batchLines(std::max<std::size_t>(plan.batchLines, 1)),
      // A part of a held run is packed beside the other parts, rather than
      // on the merging thread; a streamed whole copies what it keeps instead.
      m_packParts(plan.blockBytes == 0) {
    MeasureRoom();
}

void BatchClassifier::MeasureRoom() {
    for (std::size_t i = 0; i < m_room.size(); ++i) {
        const auto list = CountingResult::kEntryLists[i];
        m_room[i].store(!m_whole.KeepsExtracts && CountingResult::IsExtract(list)
                            ? 0
                            : (m_whole.*list)->RoomKept(),
                        std::memory_order_relaxed);
    }
}

std::unique_ptr<InsightPart> BatchClassifier::TakeInsightPart() {
    std::unique_ptr<InsightPart> part;
    {
        const std::lock_guard lock(m_mutex);
        if (m_freeInsightParts.empty())
            return std::make_unique<InsightPart>(m_insight->Rules(), m_batchLines);
        part = std::move(m_freeInsightParts.back());
        m_freeInsightParts.pop_back();
    }
    part->Clear();
    return part;
}

bool BatchClassifier::Classify(const std::shared_ptr<const TextLines>& lines, std::size_t first,
                               std::size_t end, ClassifiedBatch& batch) {
    try {
        batch.part = std::make_unique<CountingResult>(lines, first);
        CountingResult& part = *batch.part;
        for (std::size_t i = 0; i < m_room.size(); ++i)
            (part.*CountingResult::kEntryLists[i])
                ->KeepAtMost(m_room[i].load(std::memory_order_relaxed));
        part.PartSizes.reserve(end - first);
        if (m_insight) batch.insight = TakeInsightPart();
        InsightPart* const reading = batch.insight.get();
        for (std::size_t i = first; i < end; ++i) {
            const std::string_view line = lines->At(i);
            ClassifyLine(line, m_lists, part);
            if (reading) reading->Read(line);
            ++part.LineCount;
        }
        if (m_packParts) part.SettleEntries();
    } catch (...) {
        batch.error = std::current_exception();
        return false;
    }
    return true;
}

void BatchClassifier::Merge(ClassifiedBatch& batch, const std::function<void()>& afterBatch) {
    if (batch.part) {
        MergePart(m_whole, *batch.part);
        batch.part.reset();
        MeasureRoom();
        if (batch.insight && !batch.error) m_insight->Merge(*batch.insight);
        if (batch.insight) {
            const std::lock_guard lock(m_mutex);
            m_freeInsightParts.push_back(std::move(batch.insight));
        }
        // A failing line is the run's failure, whatever following the
        // lines before it meets (the memory they need, say).
        try {
            afterBatch();
        } catch (...) {
            if (!batch.error) throw;
        }
    }
    if (batch.error) std::rethrow_exception(batch.error);
}

}  // namespace pomurina
