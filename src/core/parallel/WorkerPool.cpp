#include "parallel/WorkerPool.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <string_view>
#include <system_error>

namespace pomurina {
namespace {

std::atomic<WorkerPool*> g_override{nullptr};

// A whole number from 1 to 64, or 0.
unsigned CapFromText(std::string_view text) {
    if (text.empty() || text.size() > 2) return 0;
    unsigned value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return 0;
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    return value <= 64 ? value : 0;
}

}  // namespace

unsigned DefaultCap() {
    if (const char* text = std::getenv("POMURINA_WORKERS"))
        if (const unsigned cap = CapFromText(text)) return cap;
    return std::clamp(std::thread::hardware_concurrency(), 1u, WorkerPool::kMostWorkers);
}

WorkerPool::WorkerPool(WorkerPoolSettings settings)
    : m_cap(settings.cap > 0 ? settings.cap : DefaultCap()),
      m_refuseThreads(settings.refuseThreads) {}

WorkerPool::~WorkerPool() {
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
        m_invitations.clear();
        for (const auto& worker : m_workers) worker->wake.notify_one();
    }
    for (const auto& worker : m_workers) worker->thread.join();
}

void WorkerPool::Invite(const void* owner, unsigned count, const Job& job) {
    const std::lock_guard lock(m_mutex);
    for (unsigned k = 0; k < std::min(count, m_cap - 1); ++k) {
        if (m_helping < m_cap - 1) {
            if (!Give(job, true)) return;  // fewer helpers, the same work
        } else {
            m_invitations.emplace_back(owner, job);
        }
    }
}

void WorkerPool::Withdraw(const void* owner) {
    const std::lock_guard lock(m_mutex);
    std::erase_if(m_invitations, [&](const auto& invitation) { return invitation.first == owner; });
}

bool WorkerPool::StartLong(Job job) {
    const std::lock_guard lock(m_mutex);
    return Give(std::move(job), false);
}

// Called with m_mutex held: hands job to an idle thread, or to a new one.
bool WorkerPool::Give(Job job, bool helping) {
    Worker* worker = nullptr;
    if (!m_idle.empty()) {
        worker = m_idle.back();
        m_idle.pop_back();
    } else {
        if (m_refuseThreads) return false;
        m_workers.reserve(m_workers.size() + 1);
        auto created = std::make_unique<Worker>();
        try {
            // It waits for m_mutex, held here, before it looks for its job.
            created->thread = std::thread([this, w = created.get()] { Serve(*w); });
        } catch (const std::system_error&) {
            return false;
        }
        worker = created.get();
        m_workers.push_back(std::move(created));
    }
    worker->job = std::move(job);
    worker->helping = helping;
    if (helping) ++m_helping;
    worker->wake.notify_one();
    return true;
}

void WorkerPool::Serve(Worker& worker) {
    std::unique_lock lock(m_mutex);
    for (;;) {
        worker.wake.wait(lock, [&] { return worker.job || m_stopping; });
        if (!worker.job) return;
        Job job = std::move(worker.job);
        worker.job = nullptr;
        lock.unlock();
        job();
        job = nullptr;  // what it holds goes before the thread takes more work
        lock.lock();
        if (worker.helping) --m_helping;
        worker.helping = false;
        if (!m_invitations.empty() && m_helping < m_cap - 1) {
            worker.job = std::move(m_invitations.front().second);
            m_invitations.pop_front();
            worker.helping = true;
            ++m_helping;
        } else {
            m_idle.push_back(&worker);
        }
    }
}

WorkerPool& CurrentPool() {
    if (WorkerPool* pool = g_override.load(std::memory_order_acquire)) return *pool;
    static auto* const shared = new WorkerPool();
    return *shared;
}

PoolOverride::PoolOverride(WorkerPool& pool)
    : m_previous(g_override.exchange(&pool, std::memory_order_acq_rel)) {}

PoolOverride::~PoolOverride() {
    g_override.store(m_previous, std::memory_order_release);
}

}  // namespace pomurina
