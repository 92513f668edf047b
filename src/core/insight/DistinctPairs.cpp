#include "insight/DistinctPairs.h"

#include <limits>

namespace pomurina {

std::vector<std::int64_t> DistinctPairs::HostsPerNumber(std::size_t numbers) {
    // Where each host's numbers begin, then the numbers in order of host;
    // the blocks are let go as the pairs leave them.
    std::vector<std::size_t> ends(std::size_t{m_hosts} + 1, 0);
    for (const Pair& pair : m_pairs) ++ends[std::size_t{pair.host} + 1];
    for (std::size_t h = 1; h < ends.size(); ++h) ends[h] += ends[h - 1];
    std::vector<std::uint32_t> byHost(m_pairs.size());
    while (!m_pairs.empty()) {
        const Pair pair = m_pairs.front();
        m_pairs.pop_front();
        byHost[ends[pair.host]++] = pair.number;
    }
    m_pairs.shrink_to_fit();
    m_hosts = 0;

    constexpr std::uint32_t kNoHost = std::numeric_limits<std::uint32_t>::max();
    std::vector<std::uint32_t> lastHost(numbers, kNoHost);
    std::vector<std::int64_t> hosts(numbers, 0);
    std::size_t at = 0;
    for (std::uint32_t host = 0; host + 1 < ends.size(); ++host) {
        for (; at < ends[host]; ++at) {
            const std::uint32_t number = byHost[at];
            if (number < numbers && lastHost[number] != host) {
                lastHost[number] = host;
                ++hosts[number];
            }
        }
    }
    return hosts;
}

}  // namespace pomurina
