#pragma once
// Counts the matches of a text in a pane's lines, and the place of one match
// among them, so that a find bar can say "3/120件".  Like PaneSearch it goes
// a slice of lines at a time, so a pane of millions of lines never keeps a
// window's thread.  Matches are counted as "next" steps through the lines
// find them: each starts after the end of the one before.
#include <cstddef>

#include "search/PaneSearch.h"

namespace pomurina {

class PaneMatchCount {
public:
    // Counts in the first count lines; match is the one whose place is asked.
    PaneMatchCount(TextFinder finder, std::size_t count, PaneMatch match);

    // Counts in up to lineBudget more lines (lines beyond lines.Count() are
    // taken as empty); whether the count is complete.
    bool Step(const PaneLines& lines, std::size_t lineBudget);

    bool Done() const { return m_next >= m_count; }
    std::size_t Total() const { return m_total; }
    // The match's place among them, from 1.
    std::size_t Place() const { return m_before + 1; }

private:
    TextFinder m_finder;
    std::size_t m_count;
    PaneMatch m_match;
    std::size_t m_next = 0;  // the next line to count in
    std::size_t m_total = 0;
    std::size_t m_before = 0;  // matches before m_match
};

}  // namespace pomurina
