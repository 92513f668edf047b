#pragma once
// A collection that takes a text only when it holds no entry equal to it
// ignoring letter case; the first-seen form stays.  The check goes through a
// hash of the folded text, so it costs the same for the millionth entry as
// for the first.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/EntryList.h"

namespace pomurina {

class DistinctList {
public:
    explicit DistinctList(std::shared_ptr<const ByteBuffer> bytes);

    // Appends piece (which lies in line) when no equal entry is held; true when appended.
    bool AddIfNew(std::string_view line, std::string_view piece);
    // Offers every entry of later (a list over the same bytes, made from the
    // lines after this one's) in its order, as if its texts had been added
    // here; returns how many were new.  later is left unusable.
    std::size_t Absorb(DistinctList& later);

    std::size_t Count() const { return m_entries->Count(); }
    // The bytes the list takes, its entries and its look-up together.
    std::size_t Footprint() const;
    const std::shared_ptr<EntryList>& Entries() const { return m_entries; }

private:
    // Open addressing over one flat array: a lookup usually touches one slot.
    // A text's slot is taken from the top bits of its tag (the hash's upper
    // half), so growing and merging never hash a text again.
    struct Slot {
        std::uint32_t tag;  // most mismatches end here
        std::uint32_t key;  // 1 + the index of the folded text in m_keyStarts; 0 when empty
    };
    std::string_view Key(std::uint64_t index) const;
    // The slot that holds key, or the empty slot where it belongs.
    std::size_t Find(std::string_view key, std::uint32_t tag) const;
    void Insert(std::size_t slot, std::string_view key, std::uint32_t tag);
    void Grow();
    // Whether piece has been offered before, by its bytes as they are.
    bool SeenAsIs(std::string_view piece);

    std::shared_ptr<EntryList> m_entries;
    std::vector<Slot> m_slots;
    unsigned m_shift;                        // 32 less the slot count's bits
    std::vector<std::uint32_t> m_tags;       // every folded text's tag
    std::string m_keyBytes;                  // every folded text, one after another
    std::vector<std::uint64_t> m_keyStarts;  // where each begins, and one past the last
    std::string m_key;                       // scratch for the folded text
    // Texts offered lately, by their bytes as they are: a log repeats its
    // hosts and files line after line, and a text offered once is held for
    // good, so a repeat needs neither folding nor hashing.  They lie in the
    // shared log bytes, which outlive the list, so no copies are kept.
    static constexpr std::size_t kRecent = 256;
    std::string_view m_recent[kRecent];
    bool m_hasRecent[kRecent] = {};
};

}  // namespace pomurina
