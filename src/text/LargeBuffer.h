#pragma once
// Large arrays (a loaded log, the places of millions of entries) are asked to
// live on huge pages: a log of a few hundred megabytes would otherwise cost
// a page fault every four kilobytes.
#include <cstddef>
#include <cstdlib>
#include <new>

namespace pomurina {

// Advises the kernel to back the 2 MiB-aligned part of [data, data + size) with huge pages.
void AdviseHugePages(void* data, std::size_t size);

// A standard allocator that advises huge pages for allocations of 4 MiB and more.
template <typename T>
struct LargeAllocator {
    using value_type = T;
    LargeAllocator() = default;
    template <typename U>
    LargeAllocator(const LargeAllocator<U>&) noexcept {}

    T* allocate(std::size_t n) {
        void* p = std::malloc(n * sizeof(T));
        if (!p) throw std::bad_alloc();
        if (n * sizeof(T) >= (std::size_t{4} << 20)) AdviseHugePages(p, n * sizeof(T));
        return static_cast<T*>(p);
    }
    void deallocate(T* p, std::size_t) noexcept { std::free(p); }
    template <typename U>
    bool operator==(const LargeAllocator<U>&) const noexcept { return true; }
};

}  // namespace pomurina
