#include "filter/LineSelector.h"

#include <algorithm>

#include "insight/AgentRules.h"
#include "parallel/OrderedWork.h"
#include "text/TextLines.h"

namespace pomurina {
namespace {

// Host names, whose letters are ASCII, in either case.
bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

}  // namespace

LineSelector::LineSelector(const LineFilter& filter, const AgentRules& agents)
    : m_filter(filter), m_agents(agents) {}

bool LineSelector::Robot(std::string_view agent) {
    const auto [known, added] = m_robots.try_emplace(agent, false);
    if (added) known->second = IsRobotAgent(m_agents.Match(agent), agent);
    return known->second;
}

bool LineSelector::Excluded(std::string_view host) {
    // A host's lines often come one after another.
    if (host.data() != m_lastHost.data() || host.size() != m_lastHost.size()) {
        m_lastHost = host;
        m_lastHostExcluded = m_filter.excludedHosts->Contains(host);
    }
    return m_lastHostExcluded;
}

bool LineSelector::Passes(std::string_view line) {
    if (!m_filter.IsSet()) return true;
    if (!m_reader.Read(line, m_fields)) return false;
    const LineFilter& f = m_filter;
    if (f.firstDay && m_fields.time.day < *f.firstDay) return false;
    if (f.lastDay && m_fields.time.day > *f.lastDay) return false;
    if (f.statusClasses && !(f.statusClasses & 1u << (m_fields.status / 100))) return false;
    if (!f.pathPrefix.empty() && !m_fields.path.starts_with(f.pathPrefix)) return false;
    if (f.excludedHosts && Excluded(m_fields.host)) return false;
    if (f.humansOnly && m_fields.hasAgent && Robot(m_fields.agent)) return false;
    if (!f.vhost.empty() && !EqualsIgnoringAsciiCase(m_fields.vhost, f.vhost)) return false;
    return true;
}

std::vector<std::uint64_t> SelectLines(const TextLines& lines, const LineFilter& filter,
                                       const AgentRules& agents) {
    constexpr std::size_t kBatch = 65536;
    const std::size_t count = lines.Count();
    std::vector<std::vector<std::uint64_t>> passed((count + kBatch - 1) / kBatch);
    std::vector<std::uint64_t> selected;
    OrderedWorkPlan plan;
    plan.pieces = passed.size();
    RunOrdered(
        plan,
        [&](std::size_t batch) {
            LineSelector selector(filter, agents);
            const std::size_t end = std::min(count, (batch + 1) * kBatch);
            for (std::size_t i = batch * kBatch; i < end; ++i)
                if (selector.Passes(lines.At(i))) passed[batch].push_back(i);
            return true;
        },
        [&](std::size_t batch) {
            selected.insert(selected.end(), passed[batch].begin(), passed[batch].end());
            std::vector<std::uint64_t>().swap(passed[batch]);
        });
    return selected;
}

}  // namespace pomurina
