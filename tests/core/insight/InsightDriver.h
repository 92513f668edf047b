#pragma once
// Drives the insight as a run would, for the tests: the lines cut into
// batches, each read into a part (on several threads when asked), the parts
// merged in log order, the whole finished.
#include <cstddef>
#include <string>
#include <vector>

#include "insight/Insight.h"
#include "insight/InsightRules.h"
#include "text/TextLines.h"

namespace pomurina::testing {

// The insight of lines in batches of batchLines (0: one batch) on threads
// threads; on one thread, every batch is read into the same part, cleared.
Insight ReadInsight(const TextLines& lines, const InsightRules& rules, std::size_t batchLines,
                    unsigned threads = 1);

// The member "insight" of the JSON report, as its own JSON document ({…} or null).
std::string InsightJsonOf(const Insight* insight);

// Rules from the texts of the two rule files and the own-domain entries.
InsightRules RulesOf(std::string_view agentRules, std::string_view searchEngines,
                     const std::vector<std::string>& ownDomains = {});

}  // namespace pomurina::testing
