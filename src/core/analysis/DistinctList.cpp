#include "analysis/DistinctList.h"

#include <stdexcept>

#include "text/CaseFold.h"

namespace pomurina {

DistinctList::DistinctList(std::shared_ptr<const std::string> bytes)
    : m_entries(
          std::make_shared<EntryList>(std::move(bytes), std::vector<EntryList::Form>{{{"", ""}}})),
      m_slots(1024),
      m_keyStarts{0} {}

std::string_view DistinctList::Key(std::uint64_t index) const {
    return std::string_view(m_keyBytes)
        .substr(m_keyStarts[index], m_keyStarts[index + 1] - m_keyStarts[index]);
}

bool DistinctList::AddIfNew(std::string_view line, std::string_view piece) {
    // The same bytes as last time are held already, whatever happened then.
    if (m_hasLast && piece == m_last) return false;
    m_last = piece;
    m_hasLast = true;

    FoldKey(piece, m_key);
    const std::uint64_t hash = std::hash<std::string_view>{}(m_key);
    const auto tag = static_cast<std::uint32_t>(hash >> 32);
    const std::size_t mask = m_slots.size() - 1;
    std::size_t i = hash & mask;
    for (; m_slots[i].key != 0; i = (i + 1) & mask)
        if (m_slots[i].tag == tag && Key(m_slots[i].key - 1) == m_key) return false;

    if (Count() >= 0xFFFFFFFEu) throw std::length_error("too many distinct texts");
    m_keyBytes += m_key;
    m_keyStarts.push_back(m_keyBytes.size());
    m_entries->Add(0, line, {piece});
    m_slots[i] = {tag, static_cast<std::uint32_t>(Count())};
    if (2 * Count() > m_slots.size()) Grow();
    return true;
}

void DistinctList::Grow() {
    std::vector<Slot> slots(m_slots.size() * 2);
    const std::size_t mask = slots.size() - 1;
    for (std::uint32_t k = 0; k < Count(); ++k) {
        const std::uint64_t hash = std::hash<std::string_view>{}(Key(k));
        std::size_t i = hash & mask;
        while (slots[i].key != 0) i = (i + 1) & mask;
        slots[i] = {static_cast<std::uint32_t>(hash >> 32), k + 1};
    }
    m_slots.swap(slots);
}

}  // namespace pomurina
