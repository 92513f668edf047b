#pragma once
// The report tool's readable summary: the summary tab's captions and values
// and the three hourly distributions as text bars, in UTF-8.
#include <string>

#include "window/ResultWindow.h"

namespace pomurina {

std::string ReadableSummary(ResultWindow& window);

}  // namespace pomurina
