#include "text/LargeBuffer.h"

#include <sys/mman.h>

#include <cstdint>

namespace pomurina {

void AdviseHugePages(void* data, std::size_t size) {
#if defined(MADV_HUGEPAGE)
    constexpr std::uintptr_t kHuge = std::uintptr_t{2} << 20;
    const auto begin = (reinterpret_cast<std::uintptr_t>(data) + kHuge - 1) & ~(kHuge - 1);
    const auto end = (reinterpret_cast<std::uintptr_t>(data) + size) & ~(kHuge - 1);
    // Only advice: where the kernel has no huge pages, nothing changes.
    if (end > begin) ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#else
    (void)data;
    (void)size;
#endif
}

}  // namespace pomurina
