#include "text/MappedBytes.h"

#include <sys/mman.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstdint>
#include <mutex>

namespace pomurina {
namespace {

// The mappings the guard answers for; a free slot has begin 0.  The signal
// handler only reads them.
struct Guarded {
    std::atomic<std::uintptr_t> begin{0}, end{0};
};
constexpr std::size_t kSlots = 64;
Guarded g_guarded[kSlots];
std::mutex g_slotsLock;
std::atomic<std::size_t> g_vanished{0};
struct sigaction g_previous;
std::once_flag g_installed;

std::uintptr_t PageSize() {
    static const auto size = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
    return size;
}

void OnBusError(int signal, siginfo_t* info, void*) {
    const auto at = reinterpret_cast<std::uintptr_t>(info->si_addr);
    for (Guarded& mapping : g_guarded) {
        const std::uintptr_t begin = mapping.begin.load(std::memory_order_acquire);
        const std::uintptr_t end = mapping.end.load(std::memory_order_acquire);
        if (begin == 0 || at < begin || at >= end) continue;
        // Zero pages over the rest of the mapping: the file ends before it.
        // (mmap is a bare system call here, safe in a handler in practice.)
        const std::uintptr_t page = at & ~(PageSize() - 1);
        void* zeros = ::mmap(reinterpret_cast<void*>(page), end - page, PROT_READ,
                             MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0);
        if (zeros != MAP_FAILED) {
            g_vanished.fetch_add(1, std::memory_order_relaxed);
            return;  // the read is done again, and finds zeros
        }
    }
    // Not a mapping's: whatever would have happened without the guard.
    ::sigaction(signal, &g_previous, nullptr);
    if (info->si_code <= 0) ::raise(signal);  // sent, not raised by a read
}

void InstallGuard() {
    struct sigaction action {};
    action.sa_sigaction = OnBusError;
    action.sa_flags = SA_SIGINFO;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGBUS, &action, &g_previous);
}

}  // namespace

const char* MapFileBytes(int fd, std::size_t size) {
    if (size == 0) return nullptr;
    std::call_once(g_installed, InstallGuard);
    std::lock_guard<std::mutex> lock(g_slotsLock);
    Guarded* free = nullptr;
    for (Guarded& mapping : g_guarded)
        if (mapping.begin.load(std::memory_order_relaxed) == 0) free = &mapping;
    if (!free) return nullptr;  // a program holds a few logs at most
    // Populated at once: faulting the pages in one by one, on the thread
    // that first reads them, cost more than reading the file.
    void* bytes = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
    if (bytes == MAP_FAILED) return nullptr;
    const auto begin = reinterpret_cast<std::uintptr_t>(bytes);
    free->end.store(begin + (size + PageSize() - 1) / PageSize() * PageSize(),
                    std::memory_order_release);
    free->begin.store(begin, std::memory_order_release);
    return static_cast<const char*>(bytes);
}

void UnmapFileBytes(const char* bytes, std::size_t size) {
    {
        std::lock_guard<std::mutex> lock(g_slotsLock);
        for (Guarded& mapping : g_guarded)
            if (mapping.begin.load(std::memory_order_relaxed) ==
                reinterpret_cast<std::uintptr_t>(bytes))
                mapping.begin.store(0, std::memory_order_release);
    }
    ::munmap(const_cast<char*>(bytes), size);
}

std::size_t VanishedFileBytes() {
    return g_vanished.load(std::memory_order_relaxed);
}

}  // namespace pomurina
