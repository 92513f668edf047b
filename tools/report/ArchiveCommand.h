#pragma once
// The report tool's archive commands: --import adds logs to a site's
// archive, --archive-list prints what is kept, and --archive names the day
// files a run then analyses as its logs.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace pomurina {

// --import SITE LOGFILE...: prints what was added; returns the exit status
// (1 when a log was refused or the archive couldn't be written).
int ImportForReport(const std::string& dataFolder, const std::string& site,
                    const std::vector<std::string>& logFiles);

// --archive-list: "SITE<TAB>YYYY-MM-DD<TAB>BYTES" for every day kept, then
// each site's total; returns the exit status.
int ListArchiveForReport(const std::string& dataFolder);

// --archive SITE: the day files from firstDay to lastDay, oldest first, in
// paths; returns 0, or 1 after a message when there are none.
int ArchiveDaysForReport(const std::string& dataFolder, const std::string& site,
                         std::optional<std::int32_t> firstDay, std::optional<std::int32_t> lastDay,
                         std::vector<std::string>& paths);

}  // namespace pomurina
