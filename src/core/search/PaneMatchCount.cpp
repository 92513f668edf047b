#include "search/PaneMatchCount.h"

#include <algorithm>
#include <string>

namespace pomurina {

PaneMatchCount::PaneMatchCount(TextFinder finder, std::size_t count, PaneMatch match)
    : m_finder(std::move(finder)), m_count(m_finder.Empty() ? 0 : count), m_match(match) {}

bool PaneMatchCount::Step(const PaneLines& lines, std::size_t lineBudget) {
    std::string scratch;
    const std::size_t end = m_count - m_next > lineBudget ? m_next + lineBudget : m_count;
    for (; m_next < end; ++m_next) {
        if (m_next >= lines.Count()) continue;
        const std::string_view text = lines.Line(m_next, scratch);
        for (std::size_t from = 0; const auto found = m_finder.FindIn(text, from);) {
            ++m_total;
            if (m_next < m_match.line ||
                (m_next == m_match.line && found->start < m_match.at.start))
                ++m_before;
            from = found->start + std::max<std::size_t>(found->length, 1);
        }
    }
    return Done();
}

}  // namespace pomurina
