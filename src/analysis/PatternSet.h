#pragma once
// The entries of a reference list as search texts: which of them occur in a
// text.
#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace pomurina {

class PatternSet {
public:
    explicit PatternSet(const std::vector<std::string>& entries);

    // Whether any entry occurs in text (an empty entry never does).
    bool AnyIn(std::string_view text) const;
    // How many entries occur in text, each counted once per time it is listed.
    std::size_t CountIn(std::string_view text) const;

private:
    std::size_t ScanEntries(std::string_view text, bool stopAtFirst) const;
    std::size_t ScanByAutomaton(std::string_view text, bool stopAtFirst) const;
    void BuildAutomaton();

    // Up to a few dozen entries are searched one by one, each by its byte
    // that is rarest in log text (memchr runs many bytes at a time), and
    // compared whole only where that byte occurs.
    static constexpr std::size_t kAutomatonFrom = 48;
    struct Entry {
        std::string text;
        std::size_t rareAt;  // offset of the rarest byte in text
    };
    std::vector<Entry> m_entries;  // the non-empty entries, in list order

    // Longer lists: an Aho-Corasick automaton over bytes, linear whatever the entries.
    struct State {
        std::array<int, 256> next;
        std::size_t listed;  // entries listed with exactly this text
        int output;          // the longest proper suffix that is an entry, or -1
    };
    std::vector<State> m_states;
};

}  // namespace pomurina
