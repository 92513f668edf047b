#include "InsightDriver.h"

#include <algorithm>
#include <memory>

#include "insight/InsightWhole.h"
#include "parallel/OrderedWork.h"
#include "report/InsightJson.h"

namespace pomurina::testing {

Insight ReadInsight(const TextLines& lines, const InsightRules& rules, std::size_t batchLines,
                    unsigned threads) {
    const std::size_t size = batchLines == 0 ? std::max<std::size_t>(lines.Count(), 1) : batchLines;
    const std::size_t count = (lines.Count() + size - 1) / size;
    InsightWhole whole(rules);
    if (threads == 1) {
        InsightPart part(rules, size);
        for (std::size_t k = 0; k < count; ++k) {
            part.Clear();
            for (std::size_t i = k * size; i < std::min(lines.Count(), (k + 1) * size); ++i)
                part.Read(lines.At(i));
            whole.Merge(part);
        }
        return whole.Finish();
    }
    std::vector<std::unique_ptr<InsightPart>> parts(count);
    RunOrdered(
        {count, threads, 0},
        [&](std::size_t k) {
            parts[k] = std::make_unique<InsightPart>(rules, size);
            const std::size_t end = std::min(lines.Count(), (k + 1) * size);
            for (std::size_t i = k * size; i < end; ++i) parts[k]->Read(lines.At(i));
            return true;
        },
        [&](std::size_t k) {
            whole.Merge(*parts[k]);
            parts[k].reset();
        });
    return whole.Finish();
}

std::string InsightJsonOf(const Insight* insight) {
    std::string text;
    ReportStream out([&](std::string_view block) {
        text += block;
        return 0;
    });
    WriteInsightJson(insight, out);
    out.Finish();
    // Without its key, the member is a document of its own.
    const std::string key = "  \"insight\": ";
    return text.substr(key.size()) + "\n";
}

InsightRules RulesOf(std::string_view agentRules, std::string_view searchEngines,
                     const std::vector<std::string>& ownDomains) {
    return InsightRules(AgentRules(ReadRuleLines(agentRules)),
                        SearchEngineRules(ReadRuleLines(searchEngines)), ownDomains);
}

}  // namespace pomurina::testing
