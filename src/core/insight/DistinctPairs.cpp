#include "insight/DistinctPairs.h"

#include <array>

namespace pomurina {

std::vector<std::uint64_t> DistinctPairs::SortedKeys() {
    std::vector<std::uint64_t> keys;
    keys.reserve(m_keys.size());
    std::array<std::array<std::size_t, 256>, 8> counts{};
    while (!m_keys.empty()) {
        const std::uint64_t key = m_keys.front();
        m_keys.pop_front();
        keys.push_back(key);
        for (std::size_t b = 0; b < 8; ++b) ++counts[b][(key >> (8 * b)) & 0xFF];
    }
    m_keys.shrink_to_fit();
    std::vector<std::uint64_t> other(keys.size());
    for (std::size_t b = 0; b < 8; ++b) {
        std::array<std::size_t, 256>& count = counts[b];
        if (keys.empty() || count[(keys[0] >> (8 * b)) & 0xFF] == keys.size()) continue;
        std::size_t place = 0;
        for (std::size_t& c : count) {
            const std::size_t n = c;
            c = place;
            place += n;
        }
        for (const std::uint64_t key : keys) other[count[(key >> (8 * b)) & 0xFF]++] = key;
        keys.swap(other);
    }
    return keys;
}

}  // namespace pomurina
