#include "analysis/DistinctList.h"

#include <cstring>
#include <stdexcept>

#include "text/CaseFold.h"
#include "text/SameBytes.h"

namespace pomurina {
namespace {

std::uint32_t TagOf(std::string_view key) {
    return static_cast<std::uint32_t>(std::hash<std::string_view>{}(key) >> 32);
}

constexpr unsigned kFirstSlotBits = 10;

// A cheap mix of a text's length and its first and last bytes.
std::size_t RecentSlot(std::string_view text, std::size_t slots) {
    const std::size_t n = text.size();
    std::uint64_t head = 0, tail = 0;
    if (n >= 8) {
        std::memcpy(&head, text.data(), 8);
        std::memcpy(&tail, text.data() + n - 8, 8);
    } else if (n > 0) {
        head = static_cast<unsigned char>(text[0]) |
               static_cast<std::uint64_t>(static_cast<unsigned char>(text[n / 2])) << 8 |
               static_cast<std::uint64_t>(static_cast<unsigned char>(text[n - 1])) << 16;
    }
    const std::uint64_t mixed = (head ^ (tail * 0x9E3779B97F4A7C15ull) ^ n) * 0xFF51AFD7ED558CCDull;
    return static_cast<std::size_t>(mixed >> 32) & (slots - 1);
}

}  // namespace

DistinctList::DistinctList(std::shared_ptr<const ByteBuffer> bytes)
    : m_entries(
          std::make_shared<EntryList>(std::move(bytes), std::vector<EntryList::Form>{{{"", ""}}})),
      m_slots(std::size_t{1} << kFirstSlotBits),
      m_shift(32 - kFirstSlotBits),
      m_keyStarts{0} {}

std::string_view DistinctList::Key(std::uint64_t index) const {
    return std::string_view(m_keyBytes)
        .substr(m_keyStarts[index], m_keyStarts[index + 1] - m_keyStarts[index]);
}

bool DistinctList::SeenAsIs(std::string_view piece) {
    const std::size_t slot = RecentSlot(piece, kRecent);
    if (m_hasRecent[slot] && SameBytes(m_recent[slot], piece)) return true;
    m_recent[slot] = piece;
    m_hasRecent[slot] = true;
    return false;
}

std::size_t DistinctList::Find(std::string_view key, std::uint32_t tag) const {
    const std::size_t mask = m_slots.size() - 1;
    std::size_t i = tag >> m_shift;
    for (; m_slots[i].key != 0; i = (i + 1) & mask)
        if (m_slots[i].tag == tag && SameBytes(Key(m_slots[i].key - 1), key)) break;
    return i;
}

void DistinctList::Insert(std::size_t slot, std::string_view key, std::uint32_t tag) {
    if (Count() >= 0xFFFFFFFEu) throw std::length_error("too many distinct texts");
    m_keyBytes += key;
    m_keyStarts.push_back(m_keyBytes.size());
    m_tags.push_back(tag);
    m_slots[slot] = {tag, static_cast<std::uint32_t>(m_keyStarts.size() - 1)};
}

bool DistinctList::AddIfNew(std::string_view line, std::string_view piece) {
    if (SeenAsIs(piece)) return false;
    FoldKey(piece, m_key);
    const std::uint32_t tag = TagOf(m_key);
    const std::size_t slot = Find(m_key, tag);
    if (m_slots[slot].key != 0) return false;
    Insert(slot, m_key, tag);
    m_entries->Add(0, line, {piece});
    if (2 * Count() > m_slots.size()) Grow();
    return true;
}

std::size_t DistinctList::Absorb(DistinctList& later) {
    std::size_t added = 0;
    for (std::size_t k = 0; k < later.Count(); ++k) {
        const std::string_view key = later.Key(k);
        const std::uint32_t tag = later.m_tags[k];
        const std::size_t slot = Find(key, tag);
        if (m_slots[slot].key != 0) continue;
        Insert(slot, key, tag);
        m_entries->AddFrom(*later.m_entries, k);
        ++added;
        if (2 * Count() > m_slots.size()) Grow();
    }
    return added;
}

void DistinctList::Grow() {
    // Beyond 2^32 slots the tags give no more places; the probes go on from there.
    std::vector<Slot> slots(m_slots.size() * 2);
    if (m_shift > 0) --m_shift;
    const std::size_t mask = slots.size() - 1;
    for (std::uint32_t k = 0; k < Count(); ++k) {
        std::size_t i = m_tags[k] >> m_shift;
        while (slots[i].key != 0) i = (i + 1) & mask;
        slots[i] = {m_tags[k], k + 1};
    }
    m_slots.swap(slots);
}

std::size_t DistinctList::Footprint() const {
    return m_entries->Footprint() + m_slots.capacity() * sizeof(Slot) +
           m_tags.capacity() * sizeof(std::uint32_t) + m_keyBytes.capacity() +
           m_keyStarts.capacity() * sizeof(std::uint64_t);
}

}  // namespace pomurina
