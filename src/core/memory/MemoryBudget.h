#pragma once
// The memory one run may take, and what it has taken: the text of its logs,
// their line index, the decompressors and the results that grow with the
// lines are charged before they grow, from any thread.  A charge that
// doesn't fit ends the run with a message naming the log, before the system
// has to refuse the memory or end the program.
#include <atomic>
#include <cstddef>
#include <mutex>
#include <string>

#include "memory/MemoryLimits.h"

namespace pomurina {

class MemoryBudget {
public:
    explicit MemoryBudget(const UsableMemory& usable) : m_usable(usable) {}
    MemoryBudget(const MemoryBudget&) = delete;
    MemoryBudget& operator=(const MemoryBudget&) = delete;

    std::size_t Limit() const { return m_usable.bytes; }
    // Address space set aside counts as used (see UsableMemory).
    bool SetAsideCounts() const { return m_usable.setAsideCounts; }

    // Takes bytes more; throws MemoryShortageError when they don't fit.
    void Charge(std::size_t bytes);
    // Takes as many of bytes as are left, maybe none; returns how many.
    std::size_t ChargeUpTo(std::size_t bytes);
    // Gives back bytes that were let go.
    void Release(std::size_t bytes);
    // Takes what a total that only grows has grown by since charged was
    // charged for it, and keeps the total in charged.
    void ChargeGrowth(std::size_t& charged, std::size_t total);
    std::size_t Charged() const { return m_charged.load(std::memory_order_relaxed); }

    // The log that the message names: the one being read.
    void SetLogName(std::string name);

private:
    UsableMemory m_usable;
    std::atomic<std::size_t> m_charged{0};
    std::mutex m_mutex;
    std::string m_logName;  // Shift-JIS, as in every message
};

// What a run may use: the system's limits as they are now, unless set
// otherwise.  The limits are the machine's and the process's, so one
// setting serves every run rather than a parameter of each.
UsableMemory RunMemory();
// Sets what every run may use (0: the system's limits again); returns the
// previous setting.  Tests set it through a guard that puts it back.
std::size_t SetRunMemory(std::size_t bytes);

}  // namespace pomurina
