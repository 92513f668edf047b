#include "analysis/ParallelClassification.h"

#include <algorithm>
#include <exception>
#include <memory>
#include <vector>

#include "analysis/ClassifyLine.h"
#include "parallel/OrderedWork.h"
#include "analysis/ResultMerge.h"

namespace pomurina {
namespace {

struct Batch {
    std::unique_ptr<CountingResult> part;
    std::exception_ptr error;  // of its failing line
};

}  // namespace

void ClassifyLines(const ReferenceLists& lists, CountingResult& whole, const ClassifyPlan& plan,
                   const std::function<void()>& afterBatch) {
    const TextLines& lines = *whole.LogLines;
    const auto from = static_cast<std::size_t>(whole.LineCount);
    const std::size_t size = std::max<std::size_t>(plan.batchLines, 1);
    const std::size_t count = (lines.Count() - from + size - 1) / size;
    std::vector<Batch> batches(count);

    const auto classify = [&](std::size_t k) {
        Batch& batch = batches[k];
        const std::size_t first = from + k * size;
        const std::size_t end = std::min(lines.Count(), first + size);
        try {
            batch.part = std::make_unique<CountingResult>(whole.LogLines, first);
            CountingResult& part = *batch.part;
            part.PartSizes.reserve(end - first);
            for (std::size_t i = first; i < end; ++i) {
                ClassifyLine(lines.At(i), lists, part);
                ++part.LineCount;
            }
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
    RunOrdered({count, plan.threads, 0}, classify, merge);
}

}  // namespace pomurina
