#include "insight/AgentRules.h"

#include <optional>

#include "search/PatternSet.h"
#include "text/ByteSearch.h"

namespace pomurina {
namespace {

std::optional<AgentKind> KindNamed(std::string_view kind) {
    if (kind == "browser") return AgentKind::Browser;
    if (kind == "os") return AgentKind::Os;
    if (kind == "device") return AgentKind::Device;
    if (kind == "bot") return AgentKind::Bot;
    if (kind == "ai") return AgentKind::Ai;
    return std::nullopt;
}

}  // namespace

std::uint32_t AgentRules::Group::First(const std::vector<AgentRule>& all,
                                       std::string_view agent) const {
    if (rules.empty() || !texts->AnyIn(agent)) return AgentMatch::kNone;
    for (const std::uint32_t rule : rules)
        if (FindBytes(agent, all[rule].text) != std::string_view::npos) return rule;
    return AgentMatch::kNone;
}

AgentRules::AgentRules() = default;
AgentRules::~AgentRules() = default;
AgentRules::AgentRules(AgentRules&&) noexcept = default;
AgentRules& AgentRules::operator=(AgentRules&&) noexcept = default;

AgentRules::AgentRules(const std::vector<RuleFields>& lines) {
    for (const RuleFields& line : lines) {
        const auto kind = KindNamed(line[0]);
        if (!kind || line[2].empty()) continue;
        const auto index = static_cast<std::uint32_t>(m_rules.size());
        m_rules.push_back({*kind, line[1], line[2]});
        Group& group = *kind == AgentKind::Browser  ? m_browsers
                       : *kind == AgentKind::Os     ? m_systems
                       : *kind == AgentKind::Device ? m_devices
                                                    : m_robots;
        group.rules.push_back(index);
    }
    for (Group* group : {&m_browsers, &m_systems, &m_devices, &m_robots}) {
        std::vector<std::string> texts;
        texts.reserve(group->rules.size());
        for (const std::uint32_t rule : group->rules) texts.push_back(m_rules[rule].text);
        group->texts = std::make_unique<const PatternSet>(texts);
    }
}

AgentMatch AgentRules::Match(std::string_view agent) const {
    AgentMatch match;
    match.browser = m_browsers.First(m_rules, agent);
    match.os = m_systems.First(m_rules, agent);
    match.device = m_devices.First(m_rules, agent);
    match.robot = m_robots.First(m_rules, agent);
    return match;
}

}  // namespace pomurina
