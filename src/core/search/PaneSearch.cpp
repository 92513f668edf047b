#include "search/PaneSearch.h"

#include <string>

namespace pomurina {

PaneSearch::PaneSearch(TextFinder finder, Direction direction, std::size_t line, std::size_t offset,
                       std::size_t count)
    : m_finder(std::move(finder)), m_direction(direction), m_count(count) {
    if (m_count == 0 || m_finder.Empty()) {
        m_state = State::NotFound;
        return;
    }
    const bool forward = m_direction == Direction::Forward;
    if (line >= m_count) {
        line = forward ? 0 : m_count - 1;
        offset = forward ? 0 : kLineEnd;
    }
    m_startLine = line;
    m_offset = offset;
}

std::size_t PaneSearch::LineOfVisit(std::size_t k) const {
    if (m_direction == Direction::Forward) return (m_startLine + k) % m_count;
    return (m_startLine + m_count - k % m_count) % m_count;
}

PaneSearch::State PaneSearch::Step(const PaneLines& lines, std::size_t lineBudget) {
    std::string scratch;
    const bool forward = m_direction == Direction::Forward;
    for (std::size_t done = 0; m_state == State::Running && done < lineBudget; ++done) {
        // The start line is looked at twice: the part on the searching side of
        // the start first, and all of it after wrapping around.
        if (m_visits > m_count) {
            m_state = State::NotFound;
            break;
        }
        const std::size_t visit = m_visits++;
        const std::size_t line = LineOfVisit(visit);
        const std::string_view text =
            line < lines.Count() ? lines.Line(line, scratch) : std::string_view();
        std::optional<TextMatch> found;
        if (visit == 0)
            found = forward ? m_finder.FindIn(text, m_offset) : m_finder.FindLastIn(text, m_offset);
        else
            found = forward ? m_finder.FindIn(text) : m_finder.FindLastIn(text, kLineEnd);
        if (found) {
            m_match = {line, *found};
            m_wrapped = forward ? m_startLine + visit >= m_count : visit > m_startLine;
            m_state = State::Found;
        }
    }
    return m_state;
}

}  // namespace pomurina
