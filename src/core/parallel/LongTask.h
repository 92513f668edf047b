#pragma once
// A task on a pool thread of its own for as long as it takes, beside the
// thread that starts it (the threading model is in WorkerPool.h).
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

namespace pomurina {

class LongTask {
public:
    // Starts task (which must not throw) on the current pool.
    explicit LongTask(std::function<void()> task);
    // Waits for the task (see Wait).
    ~LongTask();
    LongTask(const LongTask&) = delete;
    LongTask& operator=(const LongTask&) = delete;

    // False when no thread could be had: the task has not run.
    bool Started() const { return m_started; }
    // Waits until a started task has returned.
    void Wait();

private:
    // What the pool's thread holds: it may outlive the task object by a moment.
    struct Shared {
        std::mutex mutex;
        std::condition_variable ended;
        bool done = false;
        std::function<void()> task;
    };
    std::shared_ptr<Shared> m_shared;
    bool m_started;
};

}  // namespace pomurina
