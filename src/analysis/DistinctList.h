#pragma once
// A collection that takes a text only when it holds no entry equal to it
// ignoring letter case; the first-seen form stays.  The check goes through a
// hash of the folded text, so it costs the same for the millionth entry as
// for the first.
#include <memory>
#include <string>
#include <string_view>
#include <unordered_set>

#include "analysis/EntryList.h"

namespace pomurina {

class DistinctList {
public:
    explicit DistinctList(std::shared_ptr<const std::string> bytes);

    // Appends piece (which lies in line) when no equal entry is held; true when appended.
    bool AddIfNew(std::string_view line, std::string_view piece);

    std::size_t Count() const { return m_entries->Count(); }
    const std::shared_ptr<EntryList>& Entries() const { return m_entries; }

private:
    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
    };
    std::shared_ptr<EntryList> m_entries;
    std::unordered_set<std::string, Hash, std::equal_to<>> m_keys;
    std::string m_key;  // scratch for the folded text
};

}  // namespace pomurina
