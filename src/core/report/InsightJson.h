#pragma once
// The insight in the JSON report: the member "insight" of the report's
// object, null for a run that has none (one that failed).  Paths and hosts
// are written as the report writes log lines (text, with the exact bytes in
// base64 when the text doesn't give them back); names and phrases as UTF-8.
#include "insight/Insight.h"
#include "report/ReportStream.h"

namespace pomurina {

// Writes `  "insight": ` and its value, without a comma or a line end after it.
void WriteInsightJson(const Insight* insight, ReportStream& out);

}  // namespace pomurina
