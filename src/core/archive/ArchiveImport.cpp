#include "archive/ArchiveImport.h"

#include <exception>
#include <map>
#include <optional>

#include "archive/ArchiveError.h"
#include "archive/ArchiveLayout.h"
#include "archive/DatedLines.h"
#include "archive/DayFile.h"
#include "archive/DayMerge.h"
#include "io/FileIo.h"
#include "io/LogFiles.h"
#include "io/LogText.h"
#include "memory/MemoryBudget.h"
#include "parallel/OrderedWork.h"
#include "text/Cp932.h"
#include "text/TextLines.h"

namespace pomurina {
namespace {

// One day of a log on its way into its file.
struct DayWork {
    std::int32_t day = 0;
    const std::vector<DatedLine>* lines = nullptr;
    std::string path;
    bool existed = false;
    DayMergeOutcome outcome;
    std::string compressed;
    std::exception_ptr failure;
};

void MergeLogDays(const std::string& dataFolder, const std::string& site,
                  const std::map<std::int32_t, std::vector<DatedLine>>& days,
                  ImportResult& result) {
    std::vector<DayWork> work;
    for (const auto& [day, lines] : days) {
        DayWork& w = work.emplace_back();
        w.day = day;
        w.lines = &lines;
        w.path = DayFilePath(dataFolder, site, day);
    }
    // Each day is read, merged and compressed on any thread, and written in
    // order: the days held are those being merged.
    const unsigned threads = CoreCount();
    RunOrdered(
        OrderedWorkPlan{work.size(), threads, threads},
        [&](std::size_t k) {
            DayWork& w = work[k];
            try {
                const std::optional<std::string> kept = ReadDayFile(w.path);
                w.existed = kept.has_value();
                w.outcome = MergeDay(kept ? *kept : std::string(), *w.lines);
                if (w.outcome.changed()) {
                    w.compressed = CompressDayLines(w.outcome.lines);
                    std::string().swap(w.outcome.lines);
                }
            } catch (...) {
                w.failure = std::current_exception();
            }
            return true;
        },
        [&](std::size_t k) {
            DayWork& w = work[k];
            if (w.failure) std::rethrow_exception(w.failure);
            if (w.outcome.changed()) {
                WriteCompressedDayFile(w.path, w.compressed);
                ++(w.existed ? result.changedDays : result.newDays);
            } else {
                ++result.unchangedDays;
            }
            std::string().swap(w.compressed);
            result.addedLines += w.outcome.added;
            result.alreadyHadLines += w.outcome.alreadyHad;
        });
}

}  // namespace

ImportResult ImportLogs(const std::string& dataFolder, const std::string& site,
                        const std::vector<std::string>& paths) {
    SiteFolder(dataFolder, site);  // the name is checked before any log is read
    ImportResult result;
    for (const std::string& path : paths) {
        std::optional<TextLines> text;
        try {
            LogReading reading({path});
            MemoryBudget budget(RunMemory());
            LogText read(budget);
            reading.ReadInto(read, [](std::size_t, bool) {});
            read.Finish();
            text.emplace(std::move(*read.Bytes()));
        } catch (const Error& e) {
            result.refused.push_back(e.Message());
            continue;
        }
        std::vector<std::string_view> lines(text->Count());
        for (std::size_t i = 0; i < lines.size(); ++i) lines[i] = text->At(i);
        const std::vector<DatedLine> dated = DateLines(lines);
        if (dated.empty()) {
            result.refused.push_back(
                Utf8ToCp932("ログ \"") + PathText(FullPath(path)) +
                Utf8ToCp932("\" には日時を読める行がないため、アーカイブに取り込みませんでした。"
                            "アクセスログのファイルかどうか確かめてください"));
            continue;
        }
        std::map<std::int32_t, std::vector<DatedLine>> days;
        for (const DatedLine& line : dated) days[line.day].push_back(line);
        MergeLogDays(dataFolder, site, days, result);
        ++result.logs;
    }
    return result;
}

std::string ImportResultText(const ImportResult& result) {
    const auto n = [](std::size_t count) { return std::to_string(count); };
    return "取り込んだログ " + n(result.logs) + "、新しい日 " + n(result.newDays) +
           "、行を加えた日 " + n(result.changedDays) + "、変わらなかった日 " +
           n(result.unchangedDays) + "、加えた行 " + n(result.addedLines) + "、既にあった行 " +
           n(result.alreadyHadLines);
}

}  // namespace pomurina
