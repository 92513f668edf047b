#include "insight/InsightRules.h"

namespace pomurina {

std::unique_ptr<const InsightRules> LoadInsightRules(
    const std::string& folder, const std::vector<std::string>& ownDomainEntries) {
    AgentRules agents(LoadRuleFile(folder + "/" + kAgentRulesFile));
    SearchEngineRules engines(LoadRuleFile(folder + "/" + kSearchEnginesFile));
    return std::make_unique<const InsightRules>(std::move(agents), std::move(engines),
                                                ownDomainEntries);
}

}  // namespace pomurina
