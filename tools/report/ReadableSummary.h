#pragma once
// The report tool's readable summary: the summary tab's captions and values
// and the three hourly distributions as text bars, then the insight's totals
// and first rows, in UTF-8.
#include <string>

#include "analysis/RunResult.h"
#include "window/ResultWindow.h"

namespace pomurina {

// The summary of a finished run, with the log's name and the transfer volume
// as the window shows them.
std::string ReadableSummary(ResultWindow& window, const RunResult& run);

}  // namespace pomurina
