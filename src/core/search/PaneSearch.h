#pragma once
// A search through a pane's lines that can stop after any number of lines
// and go on later, so that a window can search a pane of millions of lines
// without keeping its thread.  It starts at a place in a line, goes line by
// line to one end, wraps around to the other and ends back at its start.
#include <cstddef>
#include <string_view>

#include "window/PaneLines.h"
#include "search/TextFinder.h"

namespace pomurina {

// A match: the pane line (0-based) and the bytes within it.
struct PaneMatch {
    std::size_t line = 0;
    TextMatch at;
    bool operator==(const PaneMatch&) const = default;
};

class PaneSearch {
public:
    enum class Direction { Forward, Backward };
    enum class State { Running, Found, NotFound };
    static constexpr std::size_t kLineEnd = std::string_view::npos;

    // Searches the first count lines.  Forward takes matches in line that
    // start at or after offset first; backward those that start before it
    // (kLineEnd: the whole line).  A line beyond count starts at the near end.
    PaneSearch(TextFinder finder, Direction direction, std::size_t line, std::size_t offset,
               std::size_t count);

    // Looks at up to lineBudget more lines (lines beyond lines.Count() are
    // taken as empty); returns the state reached.
    State Step(const PaneLines& lines, std::size_t lineBudget);

    State Current() const { return m_state; }
    // The match, once Found.
    const PaneMatch& Match() const { return m_match; }
    // Whether the search went past an end of the pane to reach its match.
    bool Wrapped() const { return m_wrapped; }

private:
    // The line of visit k (0: the start line, count: the start line again).
    std::size_t LineOfVisit(std::size_t k) const;

    TextFinder m_finder;
    Direction m_direction;
    std::size_t m_count;
    std::size_t m_startLine = 0;
    std::size_t m_offset = 0;
    std::size_t m_visits = 0;  // lines looked at so far
    State m_state = State::Running;
    PaneMatch m_match;
    bool m_wrapped = false;
};

}  // namespace pomurina
