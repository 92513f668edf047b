#include "text/LineEnds.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <new>
#include <utility>

#include "memory/MemoryBudget.h"

namespace pomurina {
namespace {

constexpr std::size_t kFirstCapacity = 4096;
constexpr std::size_t kEndBytes = sizeof(std::uint32_t);

}  // namespace

LineEnds::~LineEnds() {
    std::free(m_ends);
}

LineEnds::LineEnds(LineEnds&& other) noexcept
    : m_ends(std::exchange(other.m_ends, nullptr)),
      m_size(std::exchange(other.m_size, 0)),
      m_capacity(std::exchange(other.m_capacity, 0)),
      m_highs(std::move(other.m_highs)),
      m_high(std::exchange(other.m_high, 0)) {
    other.m_highs.clear();
}

LineEnds& LineEnds::operator=(LineEnds&& other) noexcept {
    if (this != &other) {
        std::free(m_ends);
        m_ends = std::exchange(other.m_ends, nullptr);
        m_size = std::exchange(other.m_size, 0);
        m_capacity = std::exchange(other.m_capacity, 0);
        m_highs = std::move(other.m_highs);
        other.m_highs.clear();
        m_high = std::exchange(other.m_high, 0);
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
    m_ends = static_cast<std::uint32_t*>(resized);
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
    for (const auto& [from, high] : later.m_highs)
        if (high >> 32 != m_high) NewHighBits(m_size + from, high >> 32);
    m_size += later.m_size;
    later.m_highs.clear();
    later.m_high = 0;
    later.Resize(0, budget);
    later.m_size = 0;
}

std::uint64_t LineEnds::HighBits(std::size_t index) const {
    const auto after = std::upper_bound(
        m_highs.begin(), m_highs.end(), index,
        [](std::size_t i, const std::pair<std::size_t, std::uint64_t>& h) { return i < h.first; });
    return after == m_highs.begin() ? 0 : std::prev(after)->second;
}

void LineEnds::NewHighBits(std::size_t from, std::uint64_t high) {
    m_highs.emplace_back(from, high << 32);
    m_high = high;
}

void LineEnds::Fit(MemoryBudget* budget) {
    if (m_size < m_capacity) Resize(m_size, budget);
}

void LineEnds::Clear(MemoryBudget* budget) {
    Resize(0, budget);
    m_size = 0;
    m_highs.clear();
    m_high = 0;
}

}  // namespace pomurina
