#pragma once
// Whether a file about to be written would take the place of a log the run
// read: a report never replaces what it describes.
#include <string>
#include <vector>

namespace pomurina {

// Whether path names the same file as one of logs, through links too;
// kStandardInput stands for the file standard input reads, when it reads one.
bool IsAnalysedLog(const std::string& path, const std::vector<std::string>& logs);

}  // namespace pomurina
