// pomurina-report: one analysis run without a window, as a freshly started
// program would make it, printed as a readable summary or as the exact dump,
// or written as a JSON or an HTML report; with --fetch, of the log fetched
// as the FTP window fetches it.
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
#include <vector>

#include "DecodeFilter.h"
#include "FetchCommand.h"
#include "ReadableSummary.h"
#include "TerminalProgress.h"
#include "analysis/LogCounting.h"
#include "window/StateDump.h"
#include "io/DataFolder.h"
#include "io/FileIo.h"
#include "io/LogFiles.h"
#include "report/JsonReport.h"
#include "report/ReportFile.h"
#include "text/Cp932.h"
#include "Errors.h"

namespace {

constexpr const char* kUsage =
    "usage: pomurina-report [--materia DIR] [--unit N] [--dump | --json [--with-log]]\n"
    "                       [--html OUT.html] LOGFILE... (- reads standard input)\n"
    "       pomurina-report [options as above] --fetch [--trust FINGERPRINT] [NAME]\n"
    "                       (fetches NAME, by default access_log_YYYYMMDD of today,\n"
    "                        with the FTP window's settings, then analyses it)\n"
    "       pomurina-report --decode [--utf8]   (URL-decodes standard input)\n";

int Usage(const char* problem) {
    std::fprintf(stderr, "pomurina-report: %s\n%s", problem, kUsage);
    return 2;
}

// How long a run goes before its progress shows on a terminal (tests set
// POMURINA_PROGRESS_AFTER_MS to see it at once).
std::chrono::milliseconds ProgressDelay() {
    const char* value = std::getenv("POMURINA_PROGRESS_AFTER_MS");
    if (!value || !*value) return std::chrono::milliseconds(1000);
    return std::chrono::milliseconds(std::strtol(value, nullptr, 10));
}

void PrintError(const std::string& sjis) {
    std::fprintf(stderr, "%s\n", pomurina::Cp932ToUtf8(sjis).c_str());
}

}  // namespace

int main(int argc, char** argv) {
    using namespace pomurina;
    std::optional<std::string> materia;
    int unit = 0;
    bool dump = false;
    bool json = false;
    bool withLog = false;
    std::optional<std::string> htmlFile;
    bool decode = false;
    bool utf8 = false;
    bool fetch = false;
    std::optional<std::string> trust;
    std::vector<std::string> logFiles;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--dump") {
            dump = true;
        } else if (arg == "--json") {
            json = true;
        } else if (arg == "--with-log") {
            withLog = true;
        } else if (arg == "--decode") {
            decode = true;
        } else if (arg == "--utf8") {
            utf8 = true;
        } else if (arg == "--fetch") {
            fetch = true;
        } else if (arg == "--materia" || arg == "--unit" || arg == "--html" || arg == "--trust") {
            if (i + 1 >= argc) return Usage("missing value");
            const std::string value = argv[++i];
            if (arg == "--trust") {
                trust = value;
            } else if (arg == "--materia") {
                materia = value;
            } else if (arg == "--html") {
                if (value.empty()) return Usage("--html takes a file name");
                // Resolved now: the run makes the program's folder the current one.
                htmlFile = FullPath(value);
            } else {
                char* end = nullptr;
                const long n = std::strtol(value.c_str(), &end, 10);
                if (value.empty() || *end != '\0' || n < -1 || n > 3)
                    return Usage("--unit takes -1 to 3");
                unit = static_cast<int>(n);
            }
        } else if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (!arg.empty() && arg[0] == '-' && arg != "-") {
            return Usage(("unknown option " + arg).c_str());
        } else {
            logFiles.push_back(arg);
        }
    }
    if (decode) {
        if (!logFiles.empty() || dump || json || withLog || htmlFile || materia || unit != 0 ||
            fetch || trust)
            return Usage("--decode takes only --utf8");
        return DecodeFilter(stdin, stdout, stderr, utf8);
    }
    if (utf8) return Usage("--utf8 goes with --decode");
    if (trust && !fetch) return Usage("--trust goes with --fetch");
    if (logFiles.empty() && !fetch) return Usage("no LOGFILE");
    if (fetch && logFiles.size() > 1) return Usage("--fetch takes one NAME");
    if (std::count(logFiles.begin(), logFiles.end(), std::string(kStandardInput)) > 1)
        return Usage("standard input (-) can be read only once");
    if (dump && json) return Usage("--dump and --json both write to standard output");
    if (withLog && !json) return Usage("--with-log goes with --json");

    // --materia names the lists' folder; otherwise they are in the data folder.
    RunPlaces places;
    places.programDirectory = ProgramDirectory();
    if (fetch) {
        // The log's name, when given, is the name to fetch.
        const FetchArguments arguments{
            logFiles.empty() ? std::nullopt : std::optional(logFiles.front()), trust,
            materia ? std::optional(FullPath(*materia)) : std::nullopt};
        logFiles.assign(1, std::string());
        if (const int status = FetchForReport(arguments, places, logFiles.front())) {
            if (status == 2) std::fputs(kUsage, stderr);
            return status;
        }
    } else if (materia) {
        places.materiaDirectory = FullPath(*materia);
    } else {
        try {
            places.programDirectory = SetUpDataFolder().folder;
        } catch (const Error& e) {
            PrintError(WithFullStop(e.Message()));
            return 1;
        }
    }

    // The run makes the program's folder the current one: the report names
    // the logs by their full paths, taken now ("-" for standard input).
    std::vector<std::string> logPaths;
    for (const std::string& file : logFiles)
        logPaths.push_back(file == kStandardInput ? file : FullPath(file));
    MemoryWindow window;
    window.Unit().SetItemIndex(unit);
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
        run = std::make_shared<const RunResult>(LogCounting(window, logFiles, places));
    } catch (...) {
        error = WithFullStop(CurrentExceptionMessage());
    }
    const ReportSource source{logPaths, std::time(nullptr), error, run};
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
    } else if (!htmlFile && !error) {
        const std::string summary = ReadableSummary(window, run->summary);
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
    if (error) PrintError(*error);
    return status;
}
