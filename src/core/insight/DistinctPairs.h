#pragma once
// Pairs of a number (a day, a path, a row of names) and a host, gathered
// with repeats while a run goes on and counted once each at its end: for
// every number, how many distinct hosts it was paired with.  Appending is
// cheap where a set of millions would miss the cache at every insert; the
// pairs are kept in blocks, so that growing never copies them all.  The count
// puts them in order of host with one counting pass and tells each host's
// few numbers apart with a stamp per number, so nothing is sorted.
#include <cstdint>
#include <deque>
#include <vector>

namespace pomurina {

class DistinctPairs {
public:
    void Add(std::uint32_t number, std::uint32_t host) {
        m_pairs.push_back({number, host});
        if (host >= m_hosts) m_hosts = host + 1;
    }
    // For every number below numbers, its distinct hosts (a pair of a larger
    // number is left out); the pairs are spent.
    std::vector<std::int64_t> HostsPerNumber(std::size_t numbers);
    // The bytes the pairs take.
    std::size_t Footprint() const { return m_pairs.size() * sizeof(Pair); }

private:
    struct Pair {
        std::uint32_t number, host;
    };
    std::deque<Pair> m_pairs;
    std::uint32_t m_hosts = 0;  // above every host added
};

}  // namespace pomurina
