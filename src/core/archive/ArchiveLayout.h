#pragma once
// Where the archive keeps its lines in the data folder: one compressed file
// a day, archive/SITE/YYYY/MM/YYYY-MM-DD.log.zst.  Only names of that form
// are the archive's; anything else in its folders (a temporary file left by
// a killed writer, a file of the user's) is passed over.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace pomurina {

// The archive's folder in a data folder.
std::string ArchiveFolder(const std::string& dataFolder);

// The folder of a site; throws ArchiveError when site can't be a site's name.
std::string SiteFolder(const std::string& dataFolder, const std::string& site);

// The file of one day of a site (see SiteFolder).
std::string DayFilePath(const std::string& dataFolder, const std::string& site, std::int32_t day);

// One day kept for a site.
struct ArchiveDay {
    std::int32_t day = 0;  // see CalendarDay.h
    std::string path;
    std::uint64_t bytes = 0;  // the compressed file's size
};

// The days kept for a site, oldest first, from firstDay to lastDay when
// given; none when the site has no folder yet.  Throws ArchiveError for a
// bad name.
std::vector<ArchiveDay> ArchiveDays(const std::string& dataFolder, const std::string& site,
                                    std::optional<std::int32_t> firstDay = std::nullopt,
                                    std::optional<std::int32_t> lastDay = std::nullopt);

// The sites of the archive, by name (bytes), skipping names no site could have.
std::vector<std::string> ArchiveSites(const std::string& dataFolder);

}  // namespace pomurina
