#pragma once
// The HTML report: one self-contained page in Japanese (inline CSS and SVG,
// no scripts, no other files) with the analysed files and the report's date,
// the summary tab's fields, the three hourly graphs and the lists a reader
// cares about: hosts, requested and posted files, the 404 and 403 excerpts,
// the watched hosts' lines, outside referrers (decoded as well) and robots;
// then the insight (see InsightHtml.h).
// It reads well on a phone and prints.
#include <cstddef>

#include "report/ReportContents.h"
#include "report/ReportStream.h"

namespace pomurina {

// A list shows at most this many lines, then "… 他N行" for the rest.
constexpr std::size_t kHtmlListLines = 200;
// A line shows at most this many bytes of its text, then "…".
constexpr std::size_t kHtmlLineBytes = 512;

// Writes the report of the run in source: its numbers and graphs from its
// typed results, its lists from the window's panes.
void WriteHtmlReport(ResultWindow& window, const ReportSource& source, ReportStream& out);

}  // namespace pomurina
