#include "analysis/ParallelClassification.h"

#include <algorithm>
#include <vector>

#include "analysis/BatchClassifier.h"
#include "parallel/OrderedWork.h"

namespace pomurina {

void ClassifyLines(const ReferenceLists& lists, CountingResult& whole, const ClassifyPlan& plan,
                   const std::function<void()>& afterBatch, InsightWhole* insight) {
    const TextLines& lines = *whole.LogLines;
    const std::shared_ptr<const TextLines> shared = whole.LogLines;
    const auto from = static_cast<std::size_t>(whole.LineCount);
    const std::size_t size = std::max<std::size_t>(plan.batchLines, 1);
    const std::size_t count = (lines.Count() - from + size - 1) / size;
    std::vector<ClassifiedBatch> batches(count);
    BatchClassifier classifier(lists, whole, plan, insight);
    const auto classify = [&](std::size_t k) {
        const std::size_t first = from + k * size;
        return classifier.Classify(shared, first, std::min(lines.Count(), first + size),
                                   batches[k]);
    };
    const auto merge = [&](std::size_t k) { classifier.Merge(batches[k], afterBatch); };
    // Batches done ahead of the merge wait with their parts: one for every
    // thread keeps each busy (a batch takes far longer to read than to
    // merge) without letting the parts pile up in memory.
    RunOrdered({count, plan.threads, plan.threads == 0 ? CoreCount() : plan.threads}, classify,
               merge);
    whole.SettleEntries();
}

}  // namespace pomurina
