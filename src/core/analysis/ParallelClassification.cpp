#include "analysis/ParallelClassification.h"

#include <algorithm>
#include <array>
#include <exception>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "analysis/ClassifyLine.h"
#include "analysis/ResultMerge.h"
#include "parallel/OrderedWork.h"

namespace pomurina {
namespace {

struct Batch {
    std::unique_ptr<CountingResult> part;
    std::unique_ptr<InsightPart> insight;
    std::exception_ptr error;  // of its failing line
};

// The insight's parts, given back once merged and taken again for a later
// batch: their tables keep their room, so a batch seldom allocates.
class InsightParts {
public:
    InsightParts(const InsightRules& rules, std::size_t batchLines)
        : m_rules(rules), m_batchLines(batchLines) {}

    std::unique_ptr<InsightPart> Take() {
        std::unique_ptr<InsightPart> part;
        {
            const std::lock_guard lock(m_mutex);
            if (m_free.empty()) return std::make_unique<InsightPart>(m_rules, m_batchLines);
            part = std::move(m_free.back());
            m_free.pop_back();
        }
        part->Clear();
        return part;
    }
    void Give(std::unique_ptr<InsightPart> part) {
        const std::lock_guard lock(m_mutex);
        m_free.push_back(std::move(part));
    }

private:
    const InsightRules& m_rules;
    const std::size_t m_batchLines;
    std::mutex m_mutex;
    std::vector<std::unique_ptr<InsightPart>> m_free;
};

}  // namespace

void ClassifyLines(const ReferenceLists& lists, CountingResult& whole, const ClassifyPlan& plan,
                   const std::function<void()>& afterBatch, InsightWhole* insight) {
    ClassifyLines(lists, whole.LogLines, static_cast<std::size_t>(whole.LineCount), whole, plan,
                  afterBatch, insight);
}

void ClassifyLines(const ReferenceLists& lists, const std::shared_ptr<const TextLines>& shared,
                   std::size_t from, CountingResult& whole, const ClassifyPlan& plan,
                   const std::function<void()>& afterBatch, InsightWhole* insight) {
    const TextLines& lines = *shared;
    const std::size_t size = std::max<std::size_t>(plan.batchLines, 1);
    const std::size_t count = (lines.Count() - from + size - 1) / size;
    std::vector<Batch> batches(count);
    std::optional<InsightParts> insightParts;
    if (insight) insightParts.emplace(insight->Rules(), size);
    // A part keeps no more entries than the whole has room for (a streamed
    // whole keeps only a few; the part's earlier parts may fill it), and
    // only counts the rest.
    std::array<std::size_t, CountingResult::kEntryLists.size()> partRoom{};
    for (std::size_t i = 0; i < partRoom.size(); ++i) {
        const auto list = CountingResult::kEntryLists[i];
        partRoom[i] =
            !whole.KeepsExtracts && CountingResult::IsExtract(list) ? 0 : (whole.*list)->RoomKept();
    }

    const auto classify = [&](std::size_t k) {
        Batch& batch = batches[k];
        const std::size_t first = from + k * size;
        const std::size_t end = std::min(lines.Count(), first + size);
        try {
            batch.part = std::make_unique<CountingResult>(shared, first);
            CountingResult& part = *batch.part;
            for (std::size_t i = 0; i < partRoom.size(); ++i)
                (part.*CountingResult::kEntryLists[i])->KeepAtMost(partRoom[i]);
            part.PartSizes.reserve(end - first);
            if (insightParts) batch.insight = insightParts->Take();
            InsightPart* const reading = batch.insight.get();
            for (std::size_t i = first; i < end; ++i) {
                const std::string_view line = lines.At(i);
                ClassifyLine(line, lists, part);
                if (reading) reading->Read(line);
                ++part.LineCount;
            }
            // Packed here, beside the other parts, rather than on the
            // merging thread; a streamed whole copies what it keeps instead.
            if (plan.blockBytes == 0) part.SettleEntries();
        } catch (...) {
            batch.error = std::current_exception();
            return false;  // no later line counts
        }
        return true;
    };
    const auto merge = [&](std::size_t k) {
        Batch& batch = batches[k];
        if (batch.part) {
            MergePart(whole, *batch.part);
            batch.part.reset();
            if (batch.insight && !batch.error) insight->Merge(*batch.insight);
            if (batch.insight) insightParts->Give(std::move(batch.insight));
            // A failing line is the run's failure, whatever following the
            // lines before it meets (the memory they need, say).
            try {
                afterBatch();
            } catch (...) {
                if (!batch.error) throw;
            }
        }
        if (batch.error) std::rethrow_exception(batch.error);
    };
    // Batches done ahead of the merge wait with their parts: one for every
    // thread keeps each busy (a batch takes far longer to read than to
    // merge) without letting the parts pile up in memory.  A streamed run,
    // which holds little else, lets four for every thread wait: the other
    // threads then don't stand idle while the calling one merges.
    const unsigned threads = plan.threads == 0 ? CoreCount() : plan.threads;
    RunOrdered({count, plan.threads, plan.blockBytes > 0 ? 4 * threads : threads}, classify, merge);
    whole.SettleEntries();
}

}  // namespace pomurina
