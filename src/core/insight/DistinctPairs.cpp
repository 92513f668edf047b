#include "insight/DistinctPairs.h"

#include <array>

namespace pomurina {

void DistinctPairs::SortKeys() {
    std::array<std::array<std::size_t, 256>, 8> counts{};
    for (const std::uint64_t key : m_keys)
        for (std::size_t b = 0; b < 8; ++b) ++counts[b][(key >> (8 * b)) & 0xFF];
    std::vector<std::uint64_t> other(m_keys.size());
    for (std::size_t b = 0; b < 8; ++b) {
        std::array<std::size_t, 256>& count = counts[b];
        if (count[(m_keys.empty() ? 0 : m_keys[0] >> (8 * b)) & 0xFF] == m_keys.size()) continue;
        std::size_t place = 0;
        for (std::size_t& c : count) {
            const std::size_t n = c;
            c = place;
            place += n;
        }
        for (const std::uint64_t key : m_keys) other[count[(key >> (8 * b)) & 0xFF]++] = key;
        m_keys.swap(other);
    }
}

}  // namespace pomurina
