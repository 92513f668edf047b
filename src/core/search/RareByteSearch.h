#pragma once
// A short list of search texts looked for in one pass over a text, each
// entry only where its byte that is rarest in log text occurs: one pass finds
// those places for all entries at once.  The search of processors without
// the byte shuffle FingerprintSearch takes.
#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace pomurina {

class RareByteSearch {
public:
    // entries: non-empty texts.
    explicit RareByteSearch(const std::vector<std::string>& entries);

    // How many entries (counted once each, as listed) occur in text; with
    // stopAtFirst, 1 as soon as one does.
    std::size_t Scan(std::string_view text, bool stopAtFirst) const;

private:
    struct Entry {
        std::string text;
        std::size_t rareAt;  // offset of the rarest byte in text
    };
    // Whether entry k occurs with its rare byte at text[at].
    bool MatchesAt(std::size_t k, std::string_view text, std::size_t at) const;

    std::vector<Entry> m_entries;                            // in list order
    std::array<std::vector<std::size_t>, 256> m_byRareByte;  // entries by their rare byte
    std::string m_rareBytes;                                 // the distinct rare bytes
};

}  // namespace pomurina
