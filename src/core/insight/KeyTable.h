#pragma once
// Distinct 64-bit keys numbered 0, 1, 2… in the order first met, so that
// what is counted per key can live in plain vectors.  A slot holds only the
// number of its key (+ 1; 0 is empty), so that the table of a million
// visitors stays small; the key itself is read from the list of keys.
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
        std::fill(m_slots.begin(), m_slots.end(), 0);
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
        for (; m_slots[at] != 0; at = (at + 1) & m_mask)
            if (m_keys[m_slots[at] - 1] == key) return {m_slots[at] - 1, false};
        const auto id = static_cast<std::uint32_t>(m_keys.size());
        m_slots[at] = id + 1;
        m_keys.push_back(key);
        return {id, true};
    }
    std::uint64_t Key(std::uint32_t id) const { return m_keys[id]; }
    std::uint32_t Count() const { return static_cast<std::uint32_t>(m_keys.size()); }
    // The bytes the table takes.
    std::size_t Footprint() const {
        return m_slots.capacity() * sizeof(std::uint32_t) +
               m_keys.capacity() * sizeof(std::uint64_t);
    }
    // Lets the slots go: afterwards only Key and Count may be asked.
    void DropIndex() { m_slots = {}; }

private:
    void Grow() { Rebuild(m_slots.empty() ? 16 : m_slots.size() * 2); }
    void Rebuild(std::size_t size) {
        m_slots.assign(size, 0);
        m_mask = m_slots.size() - 1;
        for (std::uint32_t id = 0; id < m_keys.size(); ++id) {
            std::size_t at = MixKey(m_keys[id]) & m_mask;
            while (m_slots[at] != 0) at = (at + 1) & m_mask;
            m_slots[at] = id + 1;
        }
    }

    std::vector<std::uint32_t> m_slots;
    std::size_t m_mask = 0;
    std::vector<std::uint64_t> m_keys;
};

}  // namespace pomurina
