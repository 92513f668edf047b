#pragma once
// An Aho-Corasick automaton over bytes in a compact layout, for reference
// lists of any size: the states are numbered breadth first with the children
// of each state consecutive and in byte order, so a state's edges are a range
// of states and need no table of their own.  Each state costs 13 bytes; only
// the start state has a full table of 256 edges.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

namespace pomurina {

class PatternAutomaton {
public:
    // entries: the non-empty entries; a duplicate counts once per time listed.
    explicit PatternAutomaton(std::vector<std::string_view> entries);

    // Whether any entry occurs in text.
    bool AnyIn(std::string_view text) const;
    // How many entries occur in text, each counted once per time it is listed.
    std::size_t CountIn(std::string_view text) const;

    std::size_t StateCount() const { return m_label.size(); }

private:
    using State = std::uint32_t;
    static constexpr State kNone = 0xFFFFFFFFu;

    // The state after reading c in state s, through the failure links.
    State Step(State s, unsigned char c) const;
    // The child of s along c, or kNone.
    State Child(State s, unsigned char c) const;
    // How many times the entry that ends in listed state s is listed.
    std::size_t Listed(State s) const;
    std::size_t Scan(std::string_view text, bool stopAtFirst) const;
    void LinkFailures();

    std::vector<State> m_firstChild;  // children of s: m_firstChild[s] .. m_firstChild[s + 1] - 1
    std::vector<unsigned char> m_label;  // the byte on the edge into each state
    std::vector<State> m_fail;           // the longest proper suffix that is a state
    // The state itself when an entry ends there, else the nearest suffix
    // state where one ends, else kNone.
    std::vector<State> m_report;
    // Listed states whose entry is listed more than once, with the count, by state.
    std::vector<std::pair<State, std::size_t>> m_repeated;
    std::array<State, 256> m_start{};  // every edge of the start state (0)
};

}  // namespace pomurina
