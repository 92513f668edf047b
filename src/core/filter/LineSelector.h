#pragma once
// Whether each line of a log passes a filter, and which lines of a held log
// do: the lines' numbers, never their text.  One selector serves one thread;
// it remembers what it has worked out for the hosts and agents it has seen.
#include <cstdint>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "filter/LineFilter.h"
#include "insight/AccessLine.h"

namespace pomurina {

class AgentRules;
class TextLines;

class LineSelector {
public:
    // agents tells robots apart (needed only when the filter keeps humans);
    // both must outlive the selector, and so must the text of every line given.
    LineSelector(const LineFilter& filter, const AgentRules& agents);

    bool Passes(std::string_view line);

private:
    bool Robot(std::string_view agent);
    bool Excluded(std::string_view host);

    const LineFilter& m_filter;
    const AgentRules& m_agents;
    AccessLineReader m_reader;
    AccessLine m_fields;
    std::unordered_map<std::string_view, bool> m_robots;
    std::string_view m_lastHost;
    bool m_lastHostExcluded = false;
};

// The numbers of the lines of lines that pass filter, in order (read on
// every core for a large log).
std::vector<std::uint64_t> SelectLines(const TextLines& lines, const LineFilter& filter,
                                       const AgentRules& agents);

}  // namespace pomurina
