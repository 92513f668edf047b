#pragma once
// Importing logs into a site's archive: each log (any form the program
// reads, compressed or not) is read whole through the program's log
// reading, its lines filed by day, and each of its days merged into that
// day's file (see DayMerge.h), one log after the other.  Only the days of
// the log being merged are held, never the rest of the archive.
#include <cstddef>
#include <string>
#include <vector>

namespace pomurina {

// What an import did.
struct ImportResult {
    std::size_t logs = 0;           // logs imported
    std::size_t newDays = 0;        // day files made
    std::size_t changedDays = 0;    // day files given lines
    std::size_t unchangedDays = 0;  // days of the logs the archive already had whole
    std::size_t addedLines = 0;
    std::size_t alreadyHadLines = 0;
    // Why each log that was not imported was not (Shift-JIS), in order.
    std::vector<std::string> refused;
};

// Imports the logs at paths into site's archive in dataFolder, in the order
// given.  A log that can't be read or has no readable time is passed over
// and named in refused.  Throws ArchiveError for a bad site name, and the
// day file's error (FileOpenError, CompressedFileError, FileCreateError)
// when a day of the archive can't be read or written: that day is then as
// it was, and the days merged before it stay merged.
ImportResult ImportLogs(const std::string& dataFolder, const std::string& site,
                        const std::vector<std::string>& paths);

// What an import did, in Japanese (UTF-8), on one line: "取り込んだログ 3、新しい日 12、…".
std::string ImportResultText(const ImportResult& result);

}  // namespace pomurina
