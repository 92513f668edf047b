#include "analysis/ParallelClassification.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <memory>
#include <system_error>
#include <thread>
#include <vector>

#include "analysis/ClassifyLine.h"
#include "analysis/ResultMerge.h"

namespace pomurina {
namespace {

struct Batch {
    std::size_t first = 0, end = 0;  // its lines
    std::unique_ptr<CountingResult> part;
    std::exception_ptr error;  // of its failing line
    std::atomic<bool> done{false};
};

class BatchRun {
public:
    BatchRun(const ReferenceLists& lists, CountingResult& whole, const ClassifyPlan& plan)
        : m_lists(lists), m_whole(whole), m_lines(*whole.LogLines) {
        const std::size_t from = static_cast<std::size_t>(whole.LineCount);
        const std::size_t size = std::max<std::size_t>(plan.batchLines, 1);
        const std::size_t count = (m_lines.Count() - from + size - 1) / size;
        m_batches = std::make_unique<Batch[]>(count);
        m_count = count;
        for (std::size_t k = 0; k < count; ++k) {
            m_batches[k].first = from + k * size;
            m_batches[k].end = std::min(m_lines.Count(), from + (k + 1) * size);
        }
    }

    ~BatchRun() {
        m_stop = true;
        for (std::thread& worker : m_workers) worker.join();
    }
    BatchRun(const BatchRun&) = delete;
    BatchRun& operator=(const BatchRun&) = delete;

    void Run(unsigned threads, const std::function<void()>& afterBatch) {
        threads = std::min<std::size_t>(threads, m_count);
        for (unsigned t = 1; t < threads; ++t) {
            try {
                m_workers.emplace_back([this] { Work(); });
            } catch (const std::system_error&) {
                break;  // fewer threads, the same result
            }
        }
        // The calling thread classifies batches too, and merges whatever is
        // ready in order between them.
        for (;;) {
            MergeReady(false, afterBatch);
            const std::size_t k = m_next.fetch_add(1);
            if (!Classify(k)) break;
        }
        MergeReady(true, afterBatch);
    }

private:
    void Work() {
        while (Classify(m_next.fetch_add(1))) {
        }
    }

    // Classifies batch k; false when there is nothing (more) to do.
    bool Classify(std::size_t k) {
        if (k >= m_count || m_stop || k > m_failed.load()) return false;
        Batch& batch = m_batches[k];
        try {
            batch.part = std::make_unique<CountingResult>(m_whole.LogLines, batch.first);
            CountingResult& part = *batch.part;
            for (std::size_t i = batch.first; i < batch.end; ++i) {
                ClassifyLine(m_lines.At(i), m_lists, part);
                ++part.LineCount;
            }
        } catch (...) {
            batch.error = std::current_exception();
            // Later batches need not be classified at all.
            std::size_t failed = m_failed.load();
            while (k < failed && !m_failed.compare_exchange_weak(failed, k)) {
            }
        }
        batch.done.store(true, std::memory_order_release);
        batch.done.notify_one();
        return true;
    }

    // Merges the batches that are done, in order; with wait, all of them.
    void MergeReady(bool wait, const std::function<void()>& afterBatch) {
        while (m_merged < m_count) {
            Batch& batch = m_batches[m_merged];
            if (!batch.done.load(std::memory_order_acquire)) {
                if (!wait) return;
                batch.done.wait(false, std::memory_order_acquire);
            }
            if (!batch.part) std::rethrow_exception(batch.error);  // not even begun
            MergePart(m_whole, *batch.part);
            batch.part.reset();
            ++m_merged;
            afterBatch();
            if (batch.error) std::rethrow_exception(batch.error);
        }
    }

    const ReferenceLists& m_lists;
    CountingResult& m_whole;
    const TextLines& m_lines;
    std::unique_ptr<Batch[]> m_batches;
    std::size_t m_count = 0;
    std::size_t m_merged = 0;
    std::atomic<std::size_t> m_next{0};
    std::atomic<std::size_t> m_failed{static_cast<std::size_t>(-1)};
    std::atomic<bool> m_stop{false};
    std::vector<std::thread> m_workers;
};

}  // namespace

void ClassifyLines(const ReferenceLists& lists, CountingResult& whole, const ClassifyPlan& plan,
                   const std::function<void()>& afterBatch) {
    unsigned threads = plan.threads;
    if (threads == 0) threads = std::max(1u, std::min(std::thread::hardware_concurrency(), 8u));
    BatchRun run(lists, whole, plan);
    run.Run(threads, afterBatch);
}

}  // namespace pomurina
