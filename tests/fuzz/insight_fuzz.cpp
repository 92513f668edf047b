// Random logs against random rule files: the insight reads every line, the
// same in one part or in parts of any size, with its totals consistent, and
// every writer takes what it gives.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "insight/InsightWhole.h"
#include "report/InsightCsv.h"
#include "report/InsightHtml.h"
#include "report/InsightJson.h"
#include "report/InsightSummary.h"
#include "text/TextLines.h"
#include "text/TextList.h"

using namespace pomurina;

namespace {

// The input: the agent rules, 0xFE, the search-engine rules, 0xFE, the own
// domains (one a line), 0xFE, the log.
std::string_view Take(std::string_view& input) {
    const std::size_t end = input.find('\xFE');
    const std::string_view field = input.substr(0, end);
    input = end == std::string_view::npos ? std::string_view() : input.substr(end + 1);
    return field;
}

std::string Json(const Insight& insight) {
    std::string text;
    ReportStream out([&](std::string_view block) {
        text += block;
        return 0;
    });
    WriteInsightJson(&insight, out);
    out.Finish();
    return text;
}

Insight Read(const TextLines& lines, const InsightRules& rules, std::size_t batch) {
    InsightWhole whole(rules);
    InsightPart part(rules, batch);
    for (std::size_t first = 0; first < lines.Count(); first += batch) {
        part.Clear();
        for (std::size_t i = first; i < std::min(lines.Count(), first + batch); ++i)
            part.Read(lines.At(i));
        whole.Merge(part);
    }
    return whole.Finish();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::string_view agents = Take(input), engines = Take(input), own = Take(input);
    TextList ownList;
    ownList.SetText(std::string(own));
    const InsightRules rules(AgentRules(ReadRuleLines(agents)),
                             SearchEngineRules(ReadRuleLines(engines)), ownList.Lines());
    const TextLines lines(input);

    const Insight whole = Read(lines, rules, std::max<std::size_t>(lines.Count(), 1));
    const Insight cut = Read(lines, rules, 1 + size % 5);
    FUZZ_CHECK(Json(whole) == Json(cut));

    const InsightTotals& t = whole.totals;
    FUZZ_CHECK(t.hits + t.unparsed == static_cast<std::int64_t>(lines.Count()));
    FUZZ_CHECK(t.humanHits + t.robotHits == t.hits && t.aiHits <= t.robotHits);
    FUZZ_CHECK(t.pages <= t.hits && t.visits <= t.pages);
    std::int64_t statuses = 0, hosts = 0, durations = 0;
    for (const StatusRow& row : whole.statusCodes) statuses += row.hits;
    for (const HostRow& row : whole.hosts) hosts += row.hits;
    for (const std::int64_t visits : whole.visitDurations) durations += visits;
    FUZZ_CHECK(statuses == t.hits && hosts == t.hits && durations == t.visits);
    FUZZ_CHECK(static_cast<std::int64_t>(whole.hosts.size()) == t.visitors);

    std::string html;
    ReportStream out([&](std::string_view block) {
        html += block;
        return 0;
    });
    WriteInsightHtml(&whole, out);
    out.Finish();
    FUZZ_CHECK(!html.empty());
    FUZZ_CHECK(!InsightSummaryText(whole).empty());
    FUZZ_CHECK(InsightCsvFiles(whole).size() == 15);
    return 0;
}
