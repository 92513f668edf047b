#include "parallel/HelperGroup.h"

#include "parallel/WorkerPool.h"

namespace pomurina {

HelperGroup::HelperGroup(unsigned count, std::function<void()> help)
    : m_pool(CurrentPool()), m_shared(std::make_shared<Shared>()) {
    m_shared->help = std::move(help);
    if (count == 0) return;
    try {
        m_pool.Invite(m_shared.get(), count, [shared = m_shared] { shared->Help(); });
    } catch (...) {
        End();  // no helper that was given the work may begin it once the group is gone
        throw;
    }
}

HelperGroup::~HelperGroup() {
    End();
}

void HelperGroup::End() {
    m_pool.Withdraw(m_shared.get());
    std::unique_lock lock(m_shared->mutex);
    m_shared->ended = true;
    m_shared->left.wait(lock, [&] { return m_shared->helping == 0; });
}

void HelperGroup::Shared::Help() {
    {
        const std::lock_guard lock(mutex);
        if (ended) return;
        ++helping;
    }
    help();
    const std::lock_guard lock(mutex);
    if (--helping == 0) left.notify_all();
}

}  // namespace pomurina
