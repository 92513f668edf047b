#pragma once
// Distinct 64-bit keys numbered 0, 1, 2… in the order first met, so that
// what is counted per key can live in plain vectors.  The key ~0 is reserved.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "insight/Hashing.h"

namespace pomurina {

class KeyTable {
public:
    struct Found {
        std::uint32_t id;
        bool added;
    };
    // Forgets every key and keeps the room.
    void Clear() {
        std::fill(m_slots.begin(), m_slots.end(), Slot{});
        m_keys.clear();
    }
    // Makes room for count keys without growing.
    void Reserve(std::size_t count) {
        m_keys.reserve(count);
        if (count * 2 > m_slots.size()) Rebuild(SlotsFor(count));
    }
    Found Add(std::uint64_t key) {
        if ((m_keys.size() + 1) * 2 > m_slots.size()) Grow();
        std::size_t at = MixKey(key) & m_mask;
        while (m_slots[at].key != kEmpty) {
            if (m_slots[at].key == key) return {m_slots[at].id, false};
            at = (at + 1) & m_mask;
        }
        const auto id = static_cast<std::uint32_t>(m_keys.size());
        m_slots[at] = {key, id};
        m_keys.push_back(key);
        return {id, true};
    }
    std::uint64_t Key(std::uint32_t id) const { return m_keys[id]; }
    std::uint32_t Count() const { return static_cast<std::uint32_t>(m_keys.size()); }

private:
    static constexpr std::uint64_t kEmpty = ~std::uint64_t{0};
    struct Slot {
        std::uint64_t key = kEmpty;
        std::uint32_t id = 0;
    };
    void Grow() { Rebuild(m_slots.empty() ? 16 : m_slots.size() * 2); }
    void Rebuild(std::size_t size) {
        m_slots.assign(size, Slot{});
        m_mask = m_slots.size() - 1;
        for (std::uint32_t id = 0; id < m_keys.size(); ++id) {
            std::size_t at = MixKey(m_keys[id]) & m_mask;
            while (m_slots[at].key != kEmpty) at = (at + 1) & m_mask;
            m_slots[at] = {m_keys[id], id};
        }
    }

    std::vector<Slot> m_slots;
    std::size_t m_mask = 0;
    std::vector<std::uint64_t> m_keys;
};

}  // namespace pomurina
