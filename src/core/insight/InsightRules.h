#pragma once
// Everything the insight reads lines by: the agent rules, the search-engine
// rules and the own-domain list the run uses (a referrer that contains an
// entry is the site's own; an empty entry is in none).
#include <memory>
#include <string>
#include <vector>

#include "insight/AgentRules.h"
#include "insight/SearchEngineRules.h"
#include "search/PatternSet.h"

namespace pomurina {

// The rule files' names in the lists' folder.
inline constexpr const char* kAgentRulesFile = "UserAgentRules.dat";
inline constexpr const char* kSearchEnginesFile = "SearchEngines.dat";

struct InsightRules {
    InsightRules(AgentRules agentRules, SearchEngineRules engineRules,
                 const std::vector<std::string>& ownDomainEntries)
        : agents(std::move(agentRules)),
          engines(std::move(engineRules)),
          ownDomains(ownDomainEntries) {}

    AgentRules agents;
    SearchEngineRules engines;
    PatternSet ownDomains;
};

// The rules of the files in folder (a rule file that isn't there gives no
// rules of its kind) and the own-domain entries.  A rule file that can't be
// read throws FileOpenError naming it.
std::unique_ptr<const InsightRules> LoadInsightRules(
    const std::string& folder, const std::vector<std::string>& ownDomainEntries);

}  // namespace pomurina
