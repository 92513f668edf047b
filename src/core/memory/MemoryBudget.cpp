#include "memory/MemoryBudget.h"

#include <algorithm>
#include <utility>

#include "Errors.h"

namespace pomurina {
namespace {

std::atomic<std::size_t>& RunMemorySet() {
    static std::atomic<std::size_t> bytes{0};
    return bytes;
}

}  // namespace

void MemoryBudget::Charge(std::size_t bytes) {
    std::size_t before = m_charged.load(std::memory_order_relaxed);
    while (bytes <= Limit() && before <= Limit() - bytes)
        if (m_charged.compare_exchange_weak(before, before + bytes, std::memory_order_relaxed))
            return;
    std::string name;
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        name = m_logName;
    }
    // Past the largest size_t the need is "at least" all the same.
    const std::size_t needed = before > ~std::size_t{0} - bytes ? ~std::size_t{0} : before + bytes;
    throw MemoryShortageError(MemoryShortageText(name, needed, Limit()));
}

std::size_t MemoryBudget::ChargeUpTo(std::size_t bytes) {
    std::size_t before = m_charged.load(std::memory_order_relaxed);
    for (;;) {
        const std::size_t taken = std::min(bytes, Limit() - std::min(Limit(), before));
        if (taken == 0) return 0;
        if (m_charged.compare_exchange_weak(before, before + taken, std::memory_order_relaxed))
            return taken;
    }
}

void MemoryBudget::Release(std::size_t bytes) {
    m_charged.fetch_sub(bytes, std::memory_order_relaxed);
}

void MemoryBudget::ChargeGrowth(std::size_t& charged, std::size_t total) {
    if (total <= charged) return;
    Charge(total - charged);
    charged = total;
}

void MemoryBudget::SetLogName(std::string name) {
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_logName = std::move(name);
}

UsableMemory RunMemory() {
    if (const std::size_t set = RunMemorySet().load()) return {set, false};
    return UsableMemoryOf(ReadMemoryReadings());
}

std::size_t SetRunMemory(std::size_t bytes) {
    return RunMemorySet().exchange(bytes);
}

}  // namespace pomurina
