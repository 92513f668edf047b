#include "insight/SearchEngineRules.h"

#include <algorithm>

namespace pomurina {

SearchEngineRules::SearchEngineRules(const std::vector<RuleFields>& lines) {
    for (const RuleFields& line : lines) {
        if (line[1].empty() || line[2].empty()) continue;
        SearchEngineRule rule{line[0], {}, line[2]};
        AppendAsciiLower(line[1], rule.host);
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
    for (std::size_t r = 0; r < m_rules.size(); ++r) {
        const SearchEngineRule& rule = m_rules[r];
        const bool sameHost =
            lowerHost == rule.host ||
            (lowerHost.size() > rule.host.size() && lowerHost.ends_with(rule.host) &&
             lowerHost[lowerHost.size() - rule.host.size() - 1] == '.');
        if (!sameHost) continue;
        bool found = false;
        const std::string_view value = FirstQueryValue(query, rule.param, found);
        if (found && !value.empty()) return {static_cast<std::uint32_t>(r), value};
    }
    return {};
}

}  // namespace pomurina
