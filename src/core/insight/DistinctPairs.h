#pragma once
// Pairs of numbers (a day or a path or a name, and a host) gathered with
// repeats while a run goes on, and counted once each at its end: appending
// is cheap where a set of millions would miss the cache at every insert, and
// one sort at the end puts the repeats side by side.  The pairs are kept in
// blocks, so that growing never copies them all.
#include <cstdint>
#include <deque>
#include <vector>

namespace pomurina {

class DistinctPairs {
public:
    void Add(std::uint32_t first, std::uint32_t second) {
        m_keys.push_back(std::uint64_t{first} << 32 | second);
    }
    // Calls f(first) once for every distinct pair, in order; the pairs are spent.
    template <typename F>
    void ForEachDistinct(F&& f) {
        const std::vector<std::uint64_t> keys = SortedKeys();
        for (std::size_t i = 0; i < keys.size(); ++i)
            if (i == 0 || keys[i] != keys[i - 1]) f(static_cast<std::uint32_t>(keys[i] >> 32));
    }

private:
    // The keys in order (a radix sort by bytes, leaving out the bytes every
    // key shares); the blocks are let go as the keys leave them.
    std::vector<std::uint64_t> SortedKeys();

    std::deque<std::uint64_t> m_keys;
};

}  // namespace pomurina
