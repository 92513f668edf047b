#include "analysis/DistinctList.h"

#include "text/CaseFold.h"

namespace pomurina {

DistinctList::DistinctList(std::shared_ptr<const std::string> bytes)
    : m_entries(std::make_shared<EntryList>(std::move(bytes), std::vector<EntryList::Form>{{{"", ""}}})),
      m_slots(1024),
      m_keyStarts{0} {}

std::string_view DistinctList::Key(std::uint64_t index) const {
    return std::string_view(m_keyBytes).substr(m_keyStarts[index], m_keyStarts[index + 1] - m_keyStarts[index]);
}

bool DistinctList::AddIfNew(std::string_view line, std::string_view piece) {
    FoldKey(piece, m_key);
    const std::uint64_t hash = std::hash<std::string_view>{}(m_key);
    const std::size_t mask = m_slots.size() - 1;
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
        const Slot& slot = m_slots[i];
        if (slot.key == 0) break;
        if (slot.hash == hash && Key(slot.key - 1) == m_key) return false;
    }
    m_keyBytes += m_key;
    m_keyStarts.push_back(m_keyBytes.size());
    m_entries->Add(0, line, {piece});
    if (2 * Count() > m_slots.size()) {
        Grow();  // places every key, the new one included
    } else {
        std::size_t i = hash & mask;
        while (m_slots[i].key != 0) i = (i + 1) & mask;
        m_slots[i] = {hash, Count()};
    }
    return true;
}

void DistinctList::Grow() {
    std::vector<Slot> slots(m_slots.size() * 4);
    const std::size_t mask = slots.size() - 1;
    for (std::uint64_t k = 0; k < Count(); ++k) {
        const std::uint64_t hash = std::hash<std::string_view>{}(Key(k));
        std::size_t i = hash & mask;
        while (slots[i].key != 0) i = (i + 1) & mask;
        slots[i] = {hash, k + 1};
    }
    m_slots.swap(slots);
}

}  // namespace pomurina
