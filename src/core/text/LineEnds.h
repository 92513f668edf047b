#pragma once
// Where every line of a text ends, past its line end (where the next line
// begins): 4 bytes a line, in one block that grows in place.  A large block
// grows by being remapped rather than copied, so the index never needs twice
// its size; its growth is charged to the run's memory budget, when given.
// The ends only grow: the block keeps their low 32 bits, and the few places
// where the high bits change (a text of 4 GiB or more) are kept beside it.
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace pomurina {

class MemoryBudget;

class LineEnds {
public:
    LineEnds() = default;
    ~LineEnds();
    LineEnds(LineEnds&& other) noexcept;
    LineEnds& operator=(LineEnds&& other) noexcept;
    LineEnds(const LineEnds&) = delete;
    LineEnds& operator=(const LineEnds&) = delete;

    std::size_t Size() const { return m_size; }
    std::uint64_t operator[](std::size_t index) const {
        return m_highs.empty() ? m_ends[index] : HighBits(index) | m_ends[index];
    }
    // The bytes the block holds, charged when it grew.
    std::size_t Bytes() const { return m_capacity * sizeof(std::uint32_t); }

    // Appends an end no smaller than the last.
    void Push(std::uint64_t end, MemoryBudget* budget) {
        if (m_size == m_capacity) Grow(m_size + 1, budget);
        if ((end >> 32) != m_high) NewHighBits(m_size, end >> 32);
        m_ends[m_size++] = static_cast<std::uint32_t>(end);
    }
    // Room for count ends in all, charged now.
    void Reserve(std::size_t count, MemoryBudget* budget);
    // Appends every end of later, which follows these, and lets it go
    // (giving its charge back).
    void Join(LineEnds&& later, MemoryBudget* budget);
    // Keeps no more room than the ends take (giving the rest back).
    void Fit(MemoryBudget* budget);
    // Lets every end go (giving the charge back).
    void Clear(MemoryBudget* budget);

private:
    void Grow(std::size_t count, MemoryBudget* budget);
    void Resize(std::size_t capacity, MemoryBudget* budget);
    // The high bits of end index, shifted into place.
    std::uint64_t HighBits(std::size_t index) const;
    void NewHighBits(std::size_t from, std::uint64_t high);

    std::uint32_t* m_ends = nullptr;  // the low 32 bits
    std::size_t m_size = 0;
    std::size_t m_capacity = 0;
    // From which end on the high 32 bits are which (0 before the first).
    std::vector<std::pair<std::size_t, std::uint64_t>> m_highs;
    std::uint64_t m_high = 0;  // of the last end
};

}  // namespace pomurina
