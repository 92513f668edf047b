#include "ArchiveCommand.h"

#include <cstdio>

#include "Errors.h"
#include "archive/ArchiveImport.h"
#include "archive/ArchiveLayout.h"
#include "insight/CalendarDay.h"
#include "text/Cp932.h"
#include "text/TerminalText.h"

namespace pomurina {
namespace {

void PrintMessage(const std::string& sjis) {
    std::fprintf(stderr, "%s\n", VisibleControls(Cp932ToUtf8(WithFullStop(sjis))).c_str());
}

}  // namespace

int ImportForReport(const std::string& dataFolder, const std::string& site,
                    const std::vector<std::string>& logFiles) {
    try {
        const ImportResult result = ImportLogs(dataFolder, site, logFiles);
        std::printf("%s\n", VisibleControls(ImportResultText(result)).c_str());
        for (const std::string& refused : result.refused) PrintMessage(refused);
        return result.refused.empty() ? 0 : 1;
    } catch (const Error& e) {
        PrintMessage(e.Message());
        return 1;
    }
}

int ListArchiveForReport(const std::string& dataFolder) {
    for (const std::string& site : ArchiveSites(dataFolder)) {
        const std::string shown = VisibleControls(site);
        std::uint64_t total = 0;
        const std::vector<ArchiveDay> days = ArchiveDays(dataFolder, site);
        for (const ArchiveDay& day : days) {
            std::printf("%s\t%s\t%llu\n", shown.c_str(), DayText(day.day).c_str(),
                        static_cast<unsigned long long>(day.bytes));
            total += day.bytes;
        }
        std::printf("%s\t計 %zu 日\t%llu\n", shown.c_str(), days.size(),
                    static_cast<unsigned long long>(total));
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}

int ArchiveDaysForReport(const std::string& dataFolder, const std::string& site,
                         std::optional<std::int32_t> firstDay, std::optional<std::int32_t> lastDay,
                         std::vector<std::string>& paths) {
    for (const ArchiveDay& day : ArchiveDays(dataFolder, site, firstDay, lastDay))
        paths.push_back(day.path);
    if (!paths.empty()) return 0;
    const std::string period = firstDay || lastDay
                                   ? " " + (firstDay ? DayText(*firstDay) : "") + "〜" +
                                         (lastDay ? DayText(*lastDay) : "") + " の"
                                   : "";
    PrintMessage(Utf8ToCp932("サイト \"" + site + "\" のアーカイブには" + period +
                             "日がありません。--archive-list でサイト名と日を確かめてください"));
    return 1;
}

}  // namespace pomurina
