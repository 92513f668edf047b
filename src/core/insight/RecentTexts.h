#pragma once
// A small cache in front of an InternTable: the numbers of texts met lately,
// in slots chosen by the text's length and its first and last bytes, so that
// a text met again (a page's path, a referrer) is found without hashing it
// all or probing the table.  A slot keeps the last text that fell in it;
// a miss costs one comparison and goes to the table.
#include <array>
#include <cstdint>
#include <string_view>

#include "insight/InternTable.h"

namespace pomurina {

// Bits: the number of slots is 2^Bits.
template <int Bits>
class RecentTexts {
public:
    // The number of text in table, adding it when new (see InternTable::Add).
    InternTable::Found Add(InternTable& table, std::string_view text) {
        Slot& slot = m_slots[SlotOf(text)];
        if (slot.id != kEmpty && SameBytes(slot.text, text)) return {slot.id, false};
        const InternTable::Found found = table.Add(text);
        slot = {table.Text(found.id), found.id};
        return found;
    }
    // Forgets every text (the table is being cleared).
    void Clear() { m_slots.fill(Slot{}); }

private:
    static constexpr std::uint32_t kEmpty = 0xFFFFFFFFu;
    struct Slot {
        std::string_view text;
        std::uint32_t id = kEmpty;
    };
    static std::size_t SlotOf(std::string_view text) {
        const TextEnds ends = EndsOf(text);
        const std::uint64_t mixed =
            (ends.first ^ (ends.last * 0x9E3779B97F4A7C15ull) ^ text.size()) *
            0xC2B2AE3D27D4EB4Full;
        return static_cast<std::size_t>(mixed >> (64 - Bits));
    }
    std::array<Slot, std::size_t{1} << Bits> m_slots{};
};

}  // namespace pomurina
