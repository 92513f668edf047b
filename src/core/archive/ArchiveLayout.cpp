#include "archive/ArchiveLayout.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <memory>

#include "archive/ArchiveError.h"
#include "archive/SiteName.h"
#include "filter/LineFilter.h"
#include "insight/CalendarDay.h"

namespace pomurina {
namespace {

constexpr std::string_view kDayFileTail = ".log.zst";

// The names in folder (none when it can't be read), sorted bytewise.
std::vector<std::string> NamesIn(const std::string& folder) {
    std::vector<std::string> names;
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), ::closedir);
    if (!dir) return names;
    while (const dirent* entry = ::readdir(dir.get())) names.emplace_back(entry->d_name);
    std::sort(names.begin(), names.end());
    return names;
}

bool AllDigits(std::string_view text, std::size_t count) {
    return text.size() == count &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::optional<std::uint64_t> RegularFileSize(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
    return static_cast<std::uint64_t>(info.st_size);
}

}  // namespace

std::string ArchiveFolder(const std::string& dataFolder) {
    return dataFolder + "/archive";
}

std::string SiteFolder(const std::string& dataFolder, const std::string& site) {
    if (const auto problem = SiteNameProblem(site)) throw ArchiveError(*problem);
    return ArchiveFolder(dataFolder) + "/" + site;
}

std::string DayFilePath(const std::string& dataFolder, const std::string& site, std::int32_t day) {
    const std::string text = DayText(day);  // YYYY-MM-DD
    return SiteFolder(dataFolder, site) + "/" + text.substr(0, 4) + "/" + text.substr(5, 2) + "/" +
           text + std::string(kDayFileTail);
}

std::vector<ArchiveDay> ArchiveDays(const std::string& dataFolder, const std::string& site,
                                    std::optional<std::int32_t> firstDay,
                                    std::optional<std::int32_t> lastDay) {
    const std::string siteFolder = SiteFolder(dataFolder, site);
    std::vector<ArchiveDay> days;
    for (const std::string& year : NamesIn(siteFolder)) {
        if (!AllDigits(year, 4)) continue;
        for (const std::string& month : NamesIn(siteFolder + "/" + year)) {
            if (!AllDigits(month, 2)) continue;
            const std::string folder = siteFolder + "/" + year + "/" + month;
            for (const std::string& name : NamesIn(folder)) {
                // YYYY-MM-DD.log.zst, in the folder of its own year and month.
                if (name.size() != 10 + kDayFileTail.size() || !name.ends_with(kDayFileTail) ||
                    name.compare(0, 8, year + "-" + month + "-") != 0)
                    continue;
                const auto day = ParseDayText(std::string_view(name).substr(0, 10));
                if (!day || (firstDay && *day < *firstDay) || (lastDay && *day > *lastDay))
                    continue;
                const std::string path = folder + "/" + name;
                if (const auto bytes = RegularFileSize(path))
                    days.push_back(ArchiveDay{*day, path, *bytes});
            }
        }
    }
    return days;  // the names sort as the days do
}

std::vector<std::string> ArchiveSites(const std::string& dataFolder) {
    std::vector<std::string> sites;
    for (std::string& name : NamesIn(ArchiveFolder(dataFolder)))
        if (!SiteNameProblem(name)) sites.push_back(std::move(name));
    return sites;
}

}  // namespace pomurina
