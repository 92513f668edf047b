#pragma once
// The entries of a reference list as search texts: which of them occur in a
// text.
#include <array>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace pomurina {

class PatternAutomaton;

class PatternSet {
public:
    explicit PatternSet(const std::vector<std::string>& entries);
    ~PatternSet();

    // Whether any entry occurs in text (an empty entry never does).
    bool AnyIn(std::string_view text) const;
    // How many entries occur in text, each counted once per time it is listed.
    std::size_t CountIn(std::string_view text) const;

private:
    std::size_t ScanEntries(std::string_view text, bool stopAtFirst) const;

    // Up to a few dozen entries: each is looked for only where its byte that
    // is rarest in log text occurs, and one pass over the text finds those
    // places for all entries at once.
    static constexpr std::size_t kAutomatonFrom = 48;
    struct Entry {
        std::string text;
        std::size_t rareAt;  // offset of the rarest byte in text
    };
    std::vector<Entry> m_entries;                            // the non-empty entries, in list order
    std::array<std::vector<std::size_t>, 256> m_byRareByte;  // entries by their rare byte
    std::string m_rareBytes;                                 // the distinct rare bytes
    // Whether entry k occurs with its rare byte at text[at]; counts it once in found.
    bool MatchesAt(std::size_t k, std::string_view text, std::size_t at) const;

    // Longer lists: an Aho-Corasick automaton, linear whatever the entries,
    // its size proportional to the list's.
    std::unique_ptr<const PatternAutomaton> m_automaton;
};

}  // namespace pomurina
