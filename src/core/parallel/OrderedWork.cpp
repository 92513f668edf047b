#include "parallel/OrderedWork.h"

#include <algorithm>
#include <atomic>
#include <limits>
#include <memory>
#include <optional>

#include "parallel/HelperGroup.h"
#include "parallel/WorkerPool.h"

namespace pomurina {
namespace {

constexpr std::size_t kNone = std::numeric_limits<std::size_t>::max();

class OrderedRun {
public:
    OrderedRun(const OrderedWorkPlan& plan, const std::function<bool(std::size_t)>& work,
               const std::function<void(std::size_t)>& finish)
        : m_count(plan.pieces),
          m_ahead(plan.ahead),
          m_work(work),
          m_finish(finish),
          m_done(std::make_unique<std::atomic<bool>[]>(plan.pieces)) {}

    ~OrderedRun() {
        // Wakes the helpers that wait for room, and lets them go.
        m_abort = true;
        m_finished.store(kNone);
        m_finished.notify_all();
        m_helpers.reset();
    }
    OrderedRun(const OrderedRun&) = delete;
    OrderedRun& operator=(const OrderedRun&) = delete;

    void Run(unsigned threads) {
        const std::size_t helpers = m_count == 0 ? 0 : std::min<std::size_t>(threads, m_count) - 1;
        m_helpers.emplace(static_cast<unsigned>(helpers), [this] { Help(); });
        std::size_t next = 0;  // the next piece to finish
        for (;;) {
            while (Needed(next) && m_done[next].load(std::memory_order_acquire)) {
                m_finish(next);
                ++next;
                m_finished.store(next);
                m_finished.notify_all();
            }
            if (!Needed(next)) return;
            // Not done yet: do another piece meanwhile while there is room,
            // or wait for it.
            if (m_ahead == 0 || m_next.load() < next + m_ahead) {
                const std::size_t k = m_next.fetch_add(1);
                if (Needed(k)) {
                    Do(k);
                    continue;
                }
            }
            m_done[next].wait(false, std::memory_order_acquire);
        }
    }

private:
    bool Needed(std::size_t k) const { return k < m_count && k <= m_stopAt.load(); }

    void Do(std::size_t k) {
        if (!m_work(k)) {
            std::size_t stop = m_stopAt.load();
            while (k < stop && !m_stopAt.compare_exchange_weak(stop, k)) {
            }
        }
        m_done[k].store(true, std::memory_order_release);
        m_done[k].notify_all();
    }

    void Help() {
        for (;;) {
            const std::size_t k = m_next.fetch_add(1);
            if (!Needed(k) || m_abort) return;
            if (m_ahead > 0) {
                for (std::size_t f = m_finished.load(); k >= f && k - f >= m_ahead;
                     f = m_finished.load())
                    m_finished.wait(f);
                if (m_abort || !Needed(k)) return;
            }
            Do(k);
        }
    }

    const std::size_t m_count;
    const std::size_t m_ahead;
    const std::function<bool(std::size_t)>& m_work;
    const std::function<void(std::size_t)>& m_finish;
    std::unique_ptr<std::atomic<bool>[]> m_done;
    std::atomic<std::size_t> m_next{0};
    std::atomic<std::size_t> m_stopAt{kNone};
    std::atomic<std::size_t> m_finished{0};
    std::atomic<bool> m_abort{false};
    std::optional<HelperGroup> m_helpers;
};

}  // namespace

unsigned CoreCount() {
    return CurrentPool().Cap();
}

void RunOrdered(const OrderedWorkPlan& plan, const std::function<bool(std::size_t)>& work,
                const std::function<void(std::size_t)>& finish) {
    OrderedRun run(plan, work, finish);
    run.Run(plan.threads == 0 ? CoreCount() : plan.threads);
}

}  // namespace pomurina
