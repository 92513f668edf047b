#pragma once
// The entries of a reference list as search texts: which of them occur in a
// text.
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace pomurina {

class FingerprintSearch;
class PatternAutomaton;
class RareByteSearch;

class PatternSet {
public:
    explicit PatternSet(const std::vector<std::string>& entries);
    ~PatternSet();

    // Whether any entry occurs in text (an empty entry never does).
    bool AnyIn(std::string_view text) const;
    // How many entries occur in text, each counted once per time it is listed.
    std::size_t CountIn(std::string_view text) const;

private:
    // Up to a few dozen entries: the places where an entry may begin are
    // picked out by its first bytes, or, on a processor without the byte
    // shuffle that takes, by its rarest byte.
    static constexpr std::size_t kAutomatonFrom = 48;
    std::unique_ptr<const FingerprintSearch> m_fingerprints;
    std::unique_ptr<const RareByteSearch> m_rareBytes;
    // Longer lists: an Aho-Corasick automaton, linear whatever the entries,
    // its size proportional to the list's.
    std::unique_ptr<const PatternAutomaton> m_automaton;
};

}  // namespace pomurina
