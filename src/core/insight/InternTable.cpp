#include "insight/InternTable.h"

#include <algorithm>
#include <cstring>

namespace pomurina {
namespace {}  // namespace

InternTable::Found InternTable::Add(std::string_view text, std::uint64_t hash) {
    if ((m_entries.size() + 1) * 2 > m_slots.size()) Grow();
    const std::uint64_t high = hash & 0xFFFFFFFF00000000ull;
    std::size_t at = hash & m_mask;
    while (m_slots[at] != 0) {
        const std::uint64_t slot = m_slots[at];
        if ((slot & 0xFFFFFFFF00000000ull) == high) {
            const auto id = static_cast<std::uint32_t>((slot & 0xFFFFFFFFu) - 1);
            if (SameBytes(m_entries[id].text, text)) return {id, false};
        }
        at = (at + 1) & m_mask;
    }
    const auto id = static_cast<std::uint32_t>(m_entries.size());
    m_entries.push_back({m_storage == Storage::Copies ? Keep(text) : text, hash});
    m_slots[at] = Slot(hash, id);
    return {id, true};
}

std::optional<std::uint32_t> InternTable::Find(std::string_view text) const {
    if (m_slots.empty()) return std::nullopt;
    const std::uint64_t hash = HashBytes(text);
    const std::uint64_t high = hash & 0xFFFFFFFF00000000ull;
    for (std::size_t at = hash & m_mask; m_slots[at] != 0; at = (at + 1) & m_mask) {
        const std::uint64_t slot = m_slots[at];
        const auto id = static_cast<std::uint32_t>((slot & 0xFFFFFFFFu) - 1);
        if ((slot & 0xFFFFFFFF00000000ull) == high && SameBytes(m_entries[id].text, text))
            return id;
    }
    return std::nullopt;
}

void InternTable::Clear() {
    std::fill(m_slots.begin(), m_slots.end(), 0);
    m_entries.clear();
    if (m_blocks.size() > 1) m_blocks.resize(1);
    m_free = m_blocks.empty() ? nullptr : m_blocks.front().get();
    m_freeSize = m_blocks.empty() ? 0 : kBlockSize;
}

void InternTable::Reserve(std::size_t count) {
    m_entries.reserve(count);
    if (count * 2 > m_slots.size()) Rebuild(SlotsFor(count));
}

void InternTable::Rebuild(std::size_t size) {
    m_slots.assign(size, 0);
    m_mask = m_slots.size() - 1;
    for (std::uint32_t id = 0; id < m_entries.size(); ++id) {
        std::size_t at = m_entries[id].hash & m_mask;
        while (m_slots[at] != 0) at = (at + 1) & m_mask;
        m_slots[at] = Slot(m_entries[id].hash, id);
    }
}

std::string_view InternTable::Keep(std::string_view text) {
    if (text.empty()) return {};
    if (text.size() > m_freeSize) {
        const std::size_t size = std::max(text.size(), kBlockSize);
        m_blocks.push_back(std::make_unique_for_overwrite<char[]>(size));  // no zeroing
        m_free = m_blocks.back().get();
        m_freeSize = size;
    }
    std::memcpy(m_free, text.data(), text.size());
    const std::string_view kept(m_free, text.size());
    m_free += text.size();
    m_freeSize -= text.size();
    return kept;
}

}  // namespace pomurina
