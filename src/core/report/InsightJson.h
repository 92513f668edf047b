#pragma once
// The insight in the JSON report: the member "insight" of the report's
// object, null for a run that has none (one that failed).  Paths and hosts
// are written as the report writes log lines (text, with the exact bytes in
// base64 when the text doesn't give them back); names and phrases as UTF-8.
#include <vector>

#include "insight/Insight.h"
#include "report/InsightTables.h"
#include "report/ReportStream.h"

namespace pomurina {

// Writes `  "insight": ` and its value, without a comma or a line end after it.
void WriteInsightJson(const Insight* insight, ReportStream& out);

// The value alone, from totals, the tables in the order InsightTablesOf gives
// them and the visit durations' table, wherever those are held.
void WriteInsightObject(const InsightTotals& totals, const std::vector<const InsightTable*>& tables,
                        const InsightTable& durations, ReportStream& out);

}  // namespace pomurina
