#pragma once
// Pairs of numbers (a day or a path or a name, and a host) gathered with
// repeats while a run goes on, and counted once each at its end: appending
// is cheap where a set of millions would miss the cache at every insert, and
// one sort at the end puts the repeats side by side.
#include <cstdint>
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
        SortKeys();
        for (std::size_t i = 0; i < m_keys.size(); ++i)
            if (i == 0 || m_keys[i] != m_keys[i - 1])
                f(static_cast<std::uint32_t>(m_keys[i] >> 32));
        m_keys = {};
    }

private:
    // A radix sort by bytes, leaving out the bytes every key shares.
    void SortKeys();

    std::vector<std::uint64_t> m_keys;
};

}  // namespace pomurina
