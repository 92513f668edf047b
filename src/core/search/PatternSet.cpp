#include "search/PatternSet.h"

#include "search/FingerprintSearch.h"
#include "search/PatternAutomaton.h"
#include "search/RareByteSearch.h"

namespace pomurina {

PatternSet::PatternSet(const std::vector<std::string>& entries) {
    std::size_t nonEmpty = 0;
    for (const auto& e : entries) nonEmpty += !e.empty();
    if (nonEmpty == 0) return;
    if (nonEmpty >= kAutomatonFrom) {
        std::vector<std::string_view> views;
        views.reserve(nonEmpty);
        for (const auto& e : entries)
            if (!e.empty()) views.emplace_back(e);
        m_automaton = std::make_unique<const PatternAutomaton>(std::move(views));
        return;
    }
    std::vector<std::string> texts;
    for (const auto& e : entries)
        if (!e.empty()) texts.push_back(e);
    if (FingerprintSearch::Available())
        m_fingerprints = std::make_unique<const FingerprintSearch>(texts);
    else
        m_rareBytes = std::make_unique<const RareByteSearch>(texts);
}

PatternSet::~PatternSet() = default;

bool PatternSet::AnyIn(std::string_view text) const {
    if (m_automaton) return m_automaton->AnyIn(text);
    if (m_fingerprints) return m_fingerprints->Scan(text, true) != 0;
    return m_rareBytes && m_rareBytes->Scan(text, true) != 0;
}

std::size_t PatternSet::CountIn(std::string_view text) const {
    if (m_automaton) return m_automaton->CountIn(text);
    if (m_fingerprints) return m_fingerprints->Scan(text, false);
    return m_rareBytes ? m_rareBytes->Scan(text, false) : 0;
}

}  // namespace pomurina
