#pragma once
// Pool threads invited to share one piece of work with the thread that
// invites them (the threading model is in WorkerPool.h).
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

namespace pomurina {

class WorkerPool;

class HelperGroup {
public:
    // Invites up to count helpers from the current pool, each to call help()
    // once as it comes free; help must not throw.
    HelperGroup(unsigned count, std::function<void()> help);
    // Ends the group (see End).
    ~HelperGroup();
    HelperGroup(const HelperGroup&) = delete;
    HelperGroup& operator=(const HelperGroup&) = delete;

    // Helpers that have not begun never will; waits for those that have.
    void End();

private:
    // What the invitations hold: it outlives the group, which may end
    // before a queued invitation is taken.
    struct Shared {
        std::mutex mutex;
        std::condition_variable left;
        bool ended = false;
        unsigned helping = 0;
        std::function<void()> help;
        void Help();
    };
    WorkerPool& m_pool;
    std::shared_ptr<Shared> m_shared;
};

}  // namespace pomurina
