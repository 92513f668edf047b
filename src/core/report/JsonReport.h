#pragma once
// The JSON report: one UTF-8 document with the analysed files, every number
// of the summary under a descriptive key, the three hour arrays, every pane as an
// array of lines and the insight (see InsightJson.h).  Its form is described by
// tools/report/report.schema.json.
#include "report/ReportContents.h"
#include "report/ReportStream.h"

namespace pomurina {

// Written as "version"; raised only when a reader of the old form would
// misread the new one.
constexpr int kJsonReportVersion = 1;

// Writes the report of the run in source (its typed results) and of the
// window's panes, streamed: the panes' lines go out as they are read.  The
// raw log's lines are written only with withLog (its line count always).
void WriteJsonReport(ResultWindow& window, const ReportSource& source, bool withLog,
                     ReportStream& out);

}  // namespace pomurina
