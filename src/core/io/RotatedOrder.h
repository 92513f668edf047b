#pragma once
// The order in which a set of rotated logs reads as one: by name, with the
// rotation number in age order, oldest first (access_log.3.gz,
// access_log.2.gz, access_log.1, access_log).  Names that carry a date
// (example.jp.access_log_202603.gz, access_log-20260301) are in order by
// name already.
#include <string>
#include <vector>

namespace pomurina {

// Sorts paths oldest first, as above.
void SortRotatedLogs(std::vector<std::string>& paths);

}  // namespace pomurina
