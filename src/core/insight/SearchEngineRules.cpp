#include "insight/SearchEngineRules.h"

#include <algorithm>

namespace pomurina {

SearchEngineRules::SearchEngineRules(const std::vector<RuleFields>& lines) {
    for (const RuleFields& line : lines) {
        if (line[1].empty() || line[2].empty()) continue;
        SearchEngineRule rule{line[0], {}, line[2]};
        AppendAsciiLower(line[1], rule.host);
        const InternTable::Found host = m_hosts.Add(rule.host);
        if (host.added) m_rulesOfHost.emplace_back();
        m_rulesOfHost[host.id].push_back(static_cast<std::uint32_t>(m_rules.size()));
        m_rules.push_back(std::move(rule));
    }
}

std::string_view FirstQueryValue(std::string_view query, std::string_view name, bool& found) {
    found = false;
    for (std::size_t from = 0; from <= query.size();) {
        const std::size_t end = std::min(query.find('&', from), query.size());
        const std::string_view item = query.substr(from, end - from);
        if (item.size() > name.size() && item.starts_with(name) && item[name.size()] == '=') {
            found = true;
            return item.substr(name.size() + 1);
        }
        from = end + 1;
    }
    return {};
}

SearchEngineHit SearchEngineRules::Find(std::string_view lowerHost, std::string_view query) const {
    if (lowerHost.empty()) return {};
    // The rules whose HOST is the host or one of its endings after a '.'.
    std::vector<std::uint32_t> candidates;
    for (std::string_view ending = lowerHost;;) {
        if (const auto host = m_hosts.Find(ending))
            candidates.insert(candidates.end(), m_rulesOfHost[*host].begin(),
                              m_rulesOfHost[*host].end());
        const std::size_t dot = ending.find('.');
        if (dot == std::string_view::npos) break;
        ending.remove_prefix(dot + 1);
    }
    std::sort(candidates.begin(), candidates.end());
    for (const std::uint32_t r : candidates) {
        bool found = false;
        const std::string_view value = FirstQueryValue(query, m_rules[r].param, found);
        if (found && !value.empty()) return {r, value};
    }
    return {};
}

}  // namespace pomurina
