#include "text/LineEnds.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

#include "memory/MemoryBudget.h"

namespace pomurina {
namespace {

constexpr std::size_t kFirstCapacity = 4096;
constexpr std::size_t kEndBytes = sizeof(std::uint64_t);

}  // namespace

LineEnds::~LineEnds() {
    std::free(m_ends);
}

LineEnds::LineEnds(LineEnds&& other) noexcept
    : m_ends(std::exchange(other.m_ends, nullptr)),
      m_size(std::exchange(other.m_size, 0)),
      m_capacity(std::exchange(other.m_capacity, 0)) {}

LineEnds& LineEnds::operator=(LineEnds&& other) noexcept {
    if (this != &other) {
        std::free(m_ends);
        m_ends = std::exchange(other.m_ends, nullptr);
        m_size = std::exchange(other.m_size, 0);
        m_capacity = std::exchange(other.m_capacity, 0);
    }
    return *this;
}

void LineEnds::Reserve(std::size_t count, MemoryBudget* budget) {
    if (count > m_capacity) Resize(count, budget);
}

void LineEnds::Grow(std::size_t count, MemoryBudget* budget) {
    // By half again: the system remaps a large block, so growing often costs little.
    Resize(std::max({count, m_capacity + m_capacity / 2, kFirstCapacity}), budget);
}

void LineEnds::Resize(std::size_t capacity, MemoryBudget* budget) {
    if (capacity > m_capacity && budget) budget->Charge((capacity - m_capacity) * kEndBytes);
    void* const resized = capacity == 0 ? nullptr : std::realloc(m_ends, capacity * kEndBytes);
    if (capacity != 0 && !resized) {
        if (budget) budget->Release((capacity - m_capacity) * kEndBytes);
        throw std::bad_alloc();
    }
    if (capacity == 0) std::free(m_ends);
    if (capacity < m_capacity && budget) budget->Release((m_capacity - capacity) * kEndBytes);
    m_ends = static_cast<std::uint64_t*>(resized);
    m_capacity = capacity;
}

void LineEnds::Join(LineEnds&& later, MemoryBudget* budget) {
    if (m_size == 0) {
        Resize(0, budget);
        *this = std::move(later);
        return;
    }
    Reserve(m_size + later.m_size, budget);
    if (later.m_size) std::memcpy(m_ends + m_size, later.m_ends, later.m_size * kEndBytes);
    m_size += later.m_size;
    later.Resize(0, budget);
    later.m_size = 0;
}

void LineEnds::Fit(MemoryBudget* budget) {
    if (m_size < m_capacity) Resize(m_size, budget);
}

}  // namespace pomurina
