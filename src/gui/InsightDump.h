#pragma once
// The insight as the window's tables hold it, written as the report tool's
// JSON writes its member "insight": for automation and for holding the
// window to the same reading as the reports.
#include <string>

namespace pomurina {

class InsightModels;

// `  "insight": ` and the value (null without models), then a line end.
std::string InsightDumpText(const InsightModels* models);

}  // namespace pomurina
