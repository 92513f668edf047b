// pomurina-report: one analysis run without a window, as a freshly started
// program would make it, printed as a readable summary or as the exact dump,
// or written as a JSON or an HTML report, and the insight's tables as CSV
// files; with --fetch, of the log fetched as the FTP window fetches it.
#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "ArchiveCommand.h"
#include "DecodeFilter.h"
#include "Errors.h"
#include "FetchCommand.h"
#include "ReadableSummary.h"
#include "ReportOptions.h"
#include "TerminalProgress.h"
#include "analysis/LogCounting.h"
#include "filter/HostListFile.h"
#include "io/DataFolder.h"
#include "io/FileIo.h"
#include "io/LogFiles.h"
#include "report/HtmlReport.h"
#include "report/InsightCsv.h"
#include "report/JsonReport.h"
#include "report/ReportFile.h"
#include "text/Cp932.h"
#include "text/TerminalText.h"
#include "window/StateDump.h"

using namespace pomurina;

namespace {

// How long a run goes before its progress shows on a terminal (tests set
// POMURINA_PROGRESS_AFTER_MS to see it at once).
std::chrono::milliseconds ProgressDelay() {
    const char* value = std::getenv("POMURINA_PROGRESS_AFTER_MS");
    if (!value || !*value) return std::chrono::milliseconds(1000);
    return std::chrono::milliseconds(std::strtol(value, nullptr, 10));
}

// How many bytes of the logs a streamed run reads at a time: tests set
// POMURINA_BLOCK_BYTES to cut lines at every place, or to 0 to hold the logs
// whole as the window does.
std::size_t BlockBytes() {
    const char* value = std::getenv("POMURINA_BLOCK_BYTES");
    if (!value || !*value) return std::size_t{1} << 20;
    const long long bytes = std::strtoll(value, nullptr, 10);
    return bytes > 0 ? static_cast<std::size_t>(bytes) : 0;
}

// A message on standard error, its log text and file names shown, never acted on.
void PrintError(const std::string& sjis) {
    std::fprintf(stderr, "%s\n", VisibleControls(Cp932ToUtf8(sjis)).c_str());
}

// The filter the options ask for, its host lists read (hostsFile resolved
// already); throws Error for a list that can't be read or has a bad entry.
LineFilter ReportFilter(const FilterOptions& o, const RunPlaces& places,
                        const std::optional<std::string>& hostsFile) {
    LineFilter filter;
    filter.firstDay = o.firstDay;
    filter.lastDay = o.lastDay;
    filter.humansOnly = o.humans;
    filter.pathPrefix = o.pathPrefix;
    filter.statusClasses = o.statusClasses;
    filter.vhost = o.vhost;
    HostList hosts;
    const auto add = [&](const std::string& path, bool missingIsEmpty) {
        hosts.Add(LoadHostListFile(path, missingIsEmpty));
        filter.excludedHostFiles.push_back(path);
    };
    if (hostsFile) add(*hostsFile, false);
    if (o.excludeOwn) {
        const std::string& materia = places.materiaDirectory;
        add((materia.starts_with('/') ? materia : places.programDirectory + "/" + materia) + "/" +
                kExcludeHostsFile,
            true);
    }
    if (!filter.excludedHostFiles.empty())
        filter.excludedHosts = std::make_shared<const HostList>(std::move(hosts));
    return filter;
}

// One analysis run as the options ask, and its outputs; returns the exit status.
int RunReport(const ReportOptions& options) {
    const bool dump = options.dump, json = options.json, withLog = options.withLog;
    const std::optional<std::string>& materia = options.materia;
    std::vector<std::string> logFiles = options.logFiles;
    // Resolved now: the run makes the program's folder the current one.
    const std::optional<std::string> htmlFile =
        options.htmlFile ? std::optional(FullPath(*options.htmlFile)) : std::nullopt;
    const std::optional<std::string> csvDir =
        options.csvDir ? std::optional(FullPath(*options.csvDir)) : std::nullopt;
    const std::optional<std::string> hostsFile =
        options.filter.excludeHostsFile ? std::optional(FullPath(*options.filter.excludeHostsFile))
                                        : std::nullopt;

    // --materia names the lists' folder; otherwise they are in the data folder.
    RunPlaces places;
    places.programDirectory = ProgramDirectory();
    if (options.archiveSite) {
        // The archive is the data folder's, whichever lists are used.
        try {
            const std::string dataFolder = SetUpDataFolder(places.programDirectory).folder;
            if (const int status =
                    ArchiveDaysForReport(dataFolder, *options.archiveSite, options.archiveFirstDay,
                                         options.archiveLastDay, logFiles))
                return status;
        } catch (const Error& e) {
            PrintError(WithFullStop(e.Message()));
            return 1;
        }
    }
    if (options.fetch) {
        // The log's name, when given, is the name to fetch.
        const FetchArguments arguments{
            logFiles.empty() ? std::nullopt : std::optional(logFiles.front()), options.trust,
            materia ? std::optional(FullPath(*materia)) : std::nullopt};
        logFiles.assign(1, std::string());
        if (const int status = FetchForReport(arguments, places, logFiles.front())) {
            if (status == 2) std::fputs(kReportUsage, stderr);
            return status;
        }
    } else if (materia) {
        places.materiaDirectory = FullPath(*materia);
    } else {
        try {
            places.programDirectory = SetUpDataFolder(places.programDirectory).folder;
        } catch (const Error& e) {
            PrintError(WithFullStop(e.Message()));
            return 1;
        }
    }

    LineFilter filter;
    try {
        filter = ReportFilter(options.filter, places, hostsFile);
    } catch (const Error& e) {
        PrintError(WithFullStop(e.Message()));
        return 2;
    }

    // The run makes the program's folder the current one: the report names
    // the logs by their full paths, taken now ("-" for standard input).
    std::vector<std::string> logPaths;
    for (const std::string& file : logFiles)
        logPaths.push_back(file == kStandardInput ? file : FullPath(file));
    MemoryWindow window;
    window.Unit().SetItemIndex(options.unit);
    // Progress only for a person watching: never into a file or a pipe.
    std::unique_ptr<TerminalProgress> terminal;
    if (::isatty(STDERR_FILENO)) {
        terminal =
            std::make_unique<TerminalProgress>(window.Progress(), STDERR_FILENO, ProgressDelay());
        window.SetProgress(terminal.get());
    }
    std::optional<std::string> error;
    std::shared_ptr<const RunResult> run;
    try {
        // The dump shows every line, and the JSON every extract (as large as
        // the log): they hold the logs whole.  The rest read them in blocks
        // (a filter choosing among each block's lines) and keep the first
        // lines of each list the HTML report shows.
        ClassifyPlan plan;
        if (!dump && !json) {
            plan.blockBytes = BlockBytes();
            plan.keepExtracts = false;
            plan.keepEntries = kHtmlListLines;
        }
        run =
            std::make_shared<const RunResult>(LogCounting(window, logFiles, places, plan, filter));
    } catch (...) {
        error = WithFullStop(CurrentExceptionMessage());
    }
    const ReportSource source{logPaths, std::time(nullptr), error, run,
                              filter.IsSet() ? &filter : nullptr};
    int status = error ? 1 : 0;

    std::optional<std::string> htmlError;
    if (htmlFile) {
        if (terminal) terminal->SetActivity("HTMLレポートを書いています...");
        try {
            SaveHtmlReport(window, source, *htmlFile);
        } catch (...) {
            htmlError = WithFullStop(CurrentExceptionMessage());
            status = 1;
        }
    }
    std::optional<std::string> csvError;
    if (csvDir) {
        if (terminal) terminal->SetActivity("CSVファイルを書いています...");
        try {
            if (const Insight* insight = ReportedInsight(source))
                SaveInsightCsv(*insight, *csvDir, logPaths);
            else
                csvError = Utf8ToCp932("アクセス解析がないため、CSV ファイルは書きませんでした.");
        } catch (...) {
            csvError = WithFullStop(CurrentExceptionMessage());
        }
        if (csvError) status = 1;
    }
    // Whatever goes to standard output must not meet the progress line.
    if (terminal && ::isatty(STDOUT_FILENO)) terminal->Finish();
    bool written = true;
    if (json) {
        if (terminal) terminal->SetActivity("JSONレポートを書いています...");
        ReportStream out(FileSink(stdout));
        WriteJsonReport(window, source, withLog, out);
        written = out.Finish() == 0;
    } else if (dump) {
        written = WriteStateDump(window, error, stdout);
    } else if (!htmlFile && !csvDir && !error) {
        const std::string summary = ReadableSummary(window, *run);
        written = std::fwrite(summary.data(), 1, summary.size(), stdout) == summary.size();
    }
    written = std::fflush(stdout) == 0 && written;
    window.SetProgress(nullptr);
    if (terminal) terminal->Finish();

    if (!written) {
        std::fputs(json   ? "pomurina-report: cannot write the JSON report\n"
                   : dump ? "pomurina-report: cannot write the dump\n"
                          : "pomurina-report: cannot write standard output\n",
                   stderr);
        status = 1;
    }
    if (htmlError) PrintError(*htmlError);
    if (const std::string* problem = InsightProblem(source)) PrintError(WithFullStop(*problem));
    if (csvError) PrintError(*csvError);
    if (error) PrintError(*error);
    return status;
}

// Starts the tool again with malloc taking its memory in huge pages where
// the system gives them on request (glibc.malloc.hugetlb=1): a run's tables
// grow to hundreds of megabytes, and faulting them in 4 KiB at a time cost
// a seventh of a run.  glibc reads its tunables only as a program starts,
// and nothing has been read or started yet.  A mark in the environment
// makes sure it starts again only once, whatever a glibc makes of the
// tunable; when the exec fails, the tool goes on as it is.
void StartWithHugePages(char** argv) {
#if defined(__GLIBC__) && !defined(__SANITIZE_ADDRESS__)
    constexpr const char* kTunable = "glibc.malloc.hugetlb";
    constexpr const char* kStartedAgain = "POMURINA_REPORT_STARTED_AGAIN";
    if (std::getenv(kStartedAgain)) {
        (void)::unsetenv(kStartedAgain);  // not for the programs it starts
        return;
    }
    const char* tunables = std::getenv("GLIBC_TUNABLES");
    if (tunables && std::strstr(tunables, kTunable)) return;
    const std::optional<std::string> given =
        tunables ? std::optional<std::string>(tunables) : std::nullopt;
    std::string value = std::string(kTunable) + "=1";
    if (given && !given->empty()) value = *given + ":" + value;
    if (::setenv("GLIBC_TUNABLES", value.c_str(), 1) == 0 && ::setenv(kStartedAgain, "1", 1) == 0)
        ::execv("/proc/self/exe", argv);
    (void)::unsetenv(kStartedAgain);
    if (given)
        (void)::setenv("GLIBC_TUNABLES", given->c_str(), 1);
    else
        (void)::unsetenv("GLIBC_TUNABLES");
#else
    (void)argv;
#endif
}

}  // namespace

int main(int argc, char** argv) {
    StartWithHugePages(argv);
    // The run's tables grow by doubling and are let go only at exit: taking
    // each from the heap and keeping what is freed saves mapping, zeroing and
    // unmapping them anew at every growth (a tenth of a streamed run's time).
    (void)::mallopt(M_MMAP_THRESHOLD, 256 << 20);
    (void)::mallopt(M_TRIM_THRESHOLD, 256 << 20);
    (void)::mallopt(M_TOP_PAD, 64 << 20);
    try {
        const auto parsed = ParseReportArguments(std::vector<std::string>(argv + 1, argv + argc));
        if (const auto* refused = std::get_if<UsageError>(&parsed)) {
            std::fputs(VisibleControls(UsageErrorText(*refused)).c_str(), stderr);
            return 2;
        }
        const auto& options = std::get<ReportOptions>(parsed);
        if (options.help) {
            std::fputs(kReportUsage, stdout);
            return 0;
        }
        if (options.decode) return DecodeFilter(stdin, stdout, stderr, options.utf8);
        if (options.importSite || options.archiveList) {
            std::string dataFolder;
            try {
                dataFolder = SetUpDataFolder(ProgramDirectory()).folder;
            } catch (const Error& e) {
                PrintError(WithFullStop(e.Message()));
                return 1;
            }
            if (options.archiveList) return ListArchiveForReport(dataFolder);
            return ImportForReport(dataFolder, *options.importSite, options.logFiles);
        }
        return RunReport(options);
    } catch (...) {
        // What the run itself doesn't catch (memory, mostly) still ends with a message.
        PrintError(WithFullStop(CurrentExceptionMessage()));
        return 1;
    }
}
