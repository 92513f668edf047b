#pragma once
// The entries of a reference list as search texts: which of them occur in a
// text, found in one pass over the text however long the list is.
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
    // Short lists are searched entry by entry; long ones through an
    // Aho-Corasick automaton over bytes.
    static constexpr std::size_t kAutomatonFrom = 8;
    std::size_t Scan(std::string_view text, bool stopAtFirst) const;

    std::vector<std::string> m_entries;  // non-empty entries, listed order
    struct State {
        int next[256];
        std::size_t listed;  // entries listed with exactly this text
        int output;          // the longest proper suffix that is an entry, or -1
    };
    std::vector<State> m_states;
};

}  // namespace pomurina
