#pragma once
// The insight in the report tool's readable summary (UTF-8): the totals and
// the first ten rows of the pages, the referring sites, the search phrases,
// the devices and the robots.
#include <string>

#include "insight/Insight.h"

namespace pomurina {

// The lines to print after the summary's own.
std::string InsightSummaryText(const Insight& insight);

}  // namespace pomurina
