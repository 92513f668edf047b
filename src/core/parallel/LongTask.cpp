#include "parallel/LongTask.h"

#include "parallel/WorkerPool.h"

namespace pomurina {

LongTask::LongTask(std::function<void()> task) : m_shared(std::make_shared<Shared>()) {
    m_shared->task = std::move(task);
    m_started = CurrentPool().StartLong([shared = m_shared] {
        shared->task();
        shared->task = nullptr;  // what it holds goes before the waiter goes on
        const std::lock_guard lock(shared->mutex);
        shared->done = true;
        shared->ended.notify_all();
    });
}

LongTask::~LongTask() {
    Wait();
}

void LongTask::Wait() {
    if (!m_started) return;
    std::unique_lock lock(m_shared->mutex);
    m_shared->ended.wait(lock, [&] { return m_shared->done; });
}

}  // namespace pomurina
