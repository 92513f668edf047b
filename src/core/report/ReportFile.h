#pragma once
// A report saved as a file, whole or not at all: written beside the file
// and put in its place when complete, so a failed save leaves any earlier
// file as it was.
#include <string>

#include "report/ReportContents.h"

namespace pomurina {

// Saves the HTML report of the run in source and the window's panes at path;
// a failure throws FileCreateError naming the file and the system's reason.
void SaveHtmlReport(ResultWindow& window, const ReportSource& source, const std::string& path);

}  // namespace pomurina
