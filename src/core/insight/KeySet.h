#pragma once
// A set of 64-bit keys (pairs of numbers such as a day and a host), open
// addressing with linear probing.  The key ~0 is reserved.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "insight/Hashing.h"

namespace pomurina {

class KeySet {
public:
    // Forgets every key and keeps the room.
    void Clear() {
        std::fill(m_slots.begin(), m_slots.end(), kEmpty);
        m_count = 0;
    }
    // Makes room for count keys without growing.
    void Reserve(std::size_t count) {
        if (count * 2 > m_slots.size()) Rebuild(SlotsFor(count));
    }
    // Adds key; true when it wasn't there.
    bool Add(std::uint64_t key) {
        if ((m_count + 1) * 2 > m_slots.size()) Grow();
        std::size_t at = MixKey(key) & m_mask;
        while (m_slots[at] != kEmpty) {
            if (m_slots[at] == key) return false;
            at = (at + 1) & m_mask;
        }
        m_slots[at] = key;
        ++m_count;
        return true;
    }
    std::size_t Count() const { return m_count; }
    // Calls f(key) for every key, in no particular order.
    template <typename F>
    void ForEach(F&& f) const {
        for (const std::uint64_t key : m_slots)
            if (key != kEmpty) f(key);
    }

private:
    static constexpr std::uint64_t kEmpty = ~std::uint64_t{0};
    void Grow() { Rebuild(m_slots.empty() ? 16 : m_slots.size() * 2); }
    void Rebuild(std::size_t size) {
        std::vector<std::uint64_t> old(size, kEmpty);
        old.swap(m_slots);
        m_mask = m_slots.size() - 1;
        for (const std::uint64_t key : old) {
            if (key == kEmpty) continue;
            std::size_t at = MixKey(key) & m_mask;
            while (m_slots[at] != kEmpty) at = (at + 1) & m_mask;
            m_slots[at] = key;
        }
    }

    std::vector<std::uint64_t> m_slots;
    std::size_t m_mask = 0;
    std::size_t m_count = 0;
};

}  // namespace pomurina
