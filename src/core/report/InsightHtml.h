#pragma once
// The insight in the HTML report: a section アクセス解析 after the others,
// with the totals, the daily graph and every table cut at kInsightRows rows
// ("… 他N行" for the rest).  A run without an insight gets the section with
// a note instead: the run failed, or problem says why (Shift-JIS).
#include <cstddef>
#include <string_view>

#include "insight/Insight.h"
#include "report/ReportStream.h"

namespace pomurina {

// A table shows at most this many rows.
constexpr std::size_t kInsightRows = 50;

// Writes the section.
void WriteInsightHtml(const Insight* insight, ReportStream& out,
                      const std::string* problem = nullptr);

// The rules the section needs in the report's style sheet.
std::string_view InsightHtmlStyle();

// The section's entry for the report's menu.
inline constexpr std::string_view kInsightHtmlLink = "<a href=\"#insight\">アクセス解析</a>";

}  // namespace pomurina
