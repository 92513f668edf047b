#pragma once
// Where every line of a text ends, past its line end (where the next line
// begins): 8 bytes a line, in one block that grows in place.  A large block
// grows by being remapped rather than copied, so the index never needs twice
// its size; its growth is charged to the run's memory budget, when given.
#include <cstddef>
#include <cstdint>

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
    std::uint64_t operator[](std::size_t index) const { return m_ends[index]; }
    // The bytes the block holds, charged when it grew.
    std::size_t Bytes() const { return m_capacity * sizeof(std::uint64_t); }

    void Push(std::uint64_t end, MemoryBudget* budget) {
        if (m_size == m_capacity) Grow(m_size + 1, budget);
        m_ends[m_size++] = end;
    }
    // Room for count ends in all, charged now.
    void Reserve(std::size_t count, MemoryBudget* budget);
    // Appends every end of later, which follows these, and lets it go
    // (giving its charge back).
    void Join(LineEnds&& later, MemoryBudget* budget);
    // Keeps no more room than the ends take (giving the rest back).
    void Fit(MemoryBudget* budget);

private:
    void Grow(std::size_t count, MemoryBudget* budget);
    void Resize(std::size_t capacity, MemoryBudget* budget);

    std::uint64_t* m_ends = nullptr;
    std::size_t m_size = 0;
    std::size_t m_capacity = 0;
};

}  // namespace pomurina
