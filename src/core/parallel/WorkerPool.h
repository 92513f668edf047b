#pragma once
// The one pool of threads the program works on besides the thread that asks,
// with one cap: the number of cores, at most kMostWorkers.
//
// Who does what, and who waits for whom:
// - Work cut into pieces (classifying batches of lines, composing the dump,
//   reading a large file in parts, splitting a large text into lines) runs on
//   the thread that asks for it, which invites helpers from the pool
//   (HelperGroup) and takes pieces itself until none is left.  So the work
//   completes with no helper at all: when every helper is busy, when no
//   thread can be created, or with a cap of 1.
// - A helper takes pieces only once it has begun.  The asking thread waits
//   only for pieces that a running thread has taken, never for an invitation
//   still queued; so a piece may ask for helpers itself (nested work) and
//   every wait is for a thread that is running and will get on.
// - At most Cap() - 1 pool threads help at once (the asking thread makes up
//   the cap).  Invitations beyond that wait in a queue for a helper to come
//   free, and are withdrawn when their work ends.
// - A long task (reading the logs that arrive while the run classifies what
//   has arrived; the report tool's progress line) runs on a pool thread of
//   its own that counts toward no cap: the run waits for what it reads, so
//   the task must never queue behind helping work, and it must not hold a
//   helper's place for a whole run.  The pool starts a thread for it when
//   none is idle.
// - Pool threads wait only for work; no lock is held while work runs.
//
// The pool is process-wide (CurrentPool) rather than handed down: the thread
// sites lie deep (a text's constructor, reading a file), and a test or a
// benchmark puts a pool of its own in place for a while (PoolOverride).
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace pomurina {

// How many threads a pool has at work at once, the asking one too (0:
// DefaultCap()), and whether it acts as a system that can create no more
// threads (tests).
struct WorkerPoolSettings {
    unsigned cap = 0;
    bool refuseThreads = false;
};

class WorkerPool {
public:
    // More threads than this gain nothing on the logs we read.
    static constexpr unsigned kMostWorkers = 8;

    explicit WorkerPool(WorkerPoolSettings settings = {});
    // Stops the pool's threads; every helper group and long task has ended.
    ~WorkerPool();
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    unsigned Cap() const { return m_cap; }

    using Job = std::function<void()>;
    // Gives job (which must not throw) to up to count helpers, at most
    // Cap() - 1, each to run it once as it comes free; owner names the
    // invitations for Withdraw.  Fewer when threads can't be created.
    void Invite(const void* owner, unsigned count, const Job& job);
    // Takes back owner's invitations that no helper has begun.
    void Withdraw(const void* owner);
    // Runs job (which must not throw) on a thread that counts toward no cap;
    // false when no thread can be had.
    bool StartLong(Job job);

private:
    struct Worker {
        std::condition_variable wake;
        Job job;  // given while idle, run next
        bool helping = false;
        std::thread thread;
    };
    bool Give(Job job, bool helping);
    void Serve(Worker& worker);

    const unsigned m_cap;
    const bool m_refuseThreads;
    std::mutex m_mutex;  // guards everything below
    std::vector<std::unique_ptr<Worker>> m_workers;
    std::vector<Worker*> m_idle;
    std::deque<std::pair<const void*, Job>> m_invitations;
    unsigned m_helping = 0;
    bool m_stopping = false;
};

// The number of cores, at most kMostWorkers; a whole number from 1 to 64 in
// POMURINA_WORKERS sets it instead (for benchmarks).
unsigned DefaultCap();

// The pool every thread site uses: the process's own (never destroyed, so
// no exit waits for its threads) or the one a PoolOverride put in place.
WorkerPool& CurrentPool();

// Puts pool in place of the current one until it goes out of scope; only
// while no work runs (tests and benchmarks).
class PoolOverride {
public:
    explicit PoolOverride(WorkerPool& pool);
    ~PoolOverride();
    PoolOverride(const PoolOverride&) = delete;
    PoolOverride& operator=(const PoolOverride&) = delete;

private:
    WorkerPool* m_previous;
};

}  // namespace pomurina
