#pragma once
// The search engines whose referrers carry what the visitor searched for
// (SearchEngines.dat: NAME<TAB>HOST<TAB>PARAM).  A referrer's host matches a
// rule when, both ASCII-lowercased, they are equal or the host ends with "."
// and the rule's HOST; the search text is the value of the query's first
// item that begins with PARAM= (items split at '&').  The first rule in file
// order that matches and finds a non-empty value is the referrer's engine.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "insight/InternTable.h"
#include "insight/ReferrerUrl.h"
#include "insight/RuleFile.h"

namespace pomurina {

struct SearchEngineRule {
    std::string name;
    std::string host;  // ASCII-lowercased
    std::string param;
};

// The engine a referrer found and the raw value of its parameter.
struct SearchEngineHit {
    static constexpr std::uint32_t kNone = 0xFFFFFFFFu;
    std::uint32_t rule = kNone;
    std::string_view value;
};

class SearchEngineRules {
public:
    SearchEngineRules() = default;
    // Keeps the rules with a HOST and a PARAM, in file order.
    explicit SearchEngineRules(const std::vector<RuleFields>& lines);

    // lowerHost: the referrer's host, ASCII-lowercased.
    SearchEngineHit Find(std::string_view lowerHost, std::string_view query) const;
    const std::vector<SearchEngineRule>& Rules() const { return m_rules; }

private:
    std::vector<SearchEngineRule> m_rules;
    // The rules by their HOST, each list in file order, so that a long file
    // costs a look-up per part of the referrer's host and not a pass.
    InternTable m_hosts{InternTable::Storage::Copies};
    std::vector<std::vector<std::uint32_t>> m_rulesOfHost;
};

// The value of the first item of query that begins with name and '='; found
// says whether an item does.
std::string_view FirstQueryValue(std::string_view query, std::string_view name, bool& found);

}  // namespace pomurina
