#include "ReportOptions.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

#include "archive/SiteName.h"
#include "filter/LineFilter.h"
#include "io/LogFiles.h"
#include "text/Cp932.h"

namespace pomurina {

const char* const kReportUsage =
    "usage: pomurina-report [--materia DIR] [--unit N] [--dump | --json [--with-log]]\n"
    "                       [--html OUT.html] [--csv DIR]\n"
    "                       [--from YYYY-MM-DD] [--to YYYY-MM-DD] [--humans]\n"
    "                       [--exclude-hosts FILE] [--exclude-own]\n"
    "                       [--path PREFIX] [--status 2xx,3xx,4xx,5xx] [--vhost NAME]\n"
    "                       LOGFILE... (- reads standard input)\n"
    "       pomurina-report [options as above] --fetch [--trust FINGERPRINT] [NAME]\n"
    "                       (fetches NAME, by default access_log_YYYYMMDD of today,\n"
    "                        with the FTP window's settings, then analyses it)\n"
    "       pomurina-report [options as above] --archive SITE [--from YYYY-MM-DD]\n"
    "                       [--to YYYY-MM-DD]   (analyses the site's archived days)\n"
    "       pomurina-report --import SITE LOGFILE...   (adds the logs to the archive)\n"
    "       pomurina-report --archive-list   (each site's archived days and sizes)\n"
    "       pomurina-report --decode [--utf8]   (URL-decodes standard input)\n";

namespace {

// Whether anything but the lists' folder is asked for besides the archive's command.
bool AnalysisOptionsSet(const ReportOptions& o) {
    return o.dump || o.json || o.withLog || o.htmlFile || o.csvDir || o.unit != 0 || o.fetch ||
           o.trust || o.filter.IsSet() || o.utf8;
}

// The archive's commands: one at a time, with what each takes.
std::optional<UsageError> RefusedArchiveCombination(const ReportOptions& o) {
    if ((o.importSite ? 1 : 0) + (o.archiveSite ? 1 : 0) + (o.archiveList ? 1 : 0) > 1)
        return UsageError{"--import、--archive、--archive-list は一度に一つだけ指定できます"};
    if (o.importSite) {
        if (AnalysisOptionsSet(o)) return UsageError{"--import は SITE と LOGFILE だけを取ります"};
        if (o.logFiles.empty()) return UsageError{"--import に取り込む LOGFILE がありません"};
    }
    if (o.archiveList && (AnalysisOptionsSet(o) || !o.logFiles.empty()))
        return UsageError{"--archive-list はほかの指定を取りません"};
    if (o.archiveSite) {
        if (o.fetch) return UsageError{"--archive と --fetch は一緒に指定できません"};
        if (!o.logFiles.empty())
            return UsageError{
                "--archive ではログはアーカイブから読みます (LOGFILE は指定できません)"};
    }
    return std::nullopt;
}

// The combinations that make no sense, checked once every argument is read.
std::optional<UsageError> RefusedCombination(const ReportOptions& o) {
    if (o.decode) {
        if (!o.logFiles.empty() || o.dump || o.json || o.withLog || o.htmlFile || o.csvDir ||
            o.materia || o.unit != 0 || o.fetch || o.trust || o.filter.IsSet() || o.importSite ||
            o.archiveSite || o.archiveList)
            return UsageError{"--decode takes only --utf8"};
        return std::nullopt;
    }
    if (o.utf8) return UsageError{"--utf8 goes with --decode"};
    if (auto refused = RefusedArchiveCombination(o)) return refused;
    if (o.trust && !o.fetch) return UsageError{"--trust goes with --fetch"};
    if (o.filter.firstDay && o.filter.lastDay && *o.filter.firstDay > *o.filter.lastDay)
        return UsageError{"--from の日が --to の日より後です"};
    const bool archive = o.archiveList || o.archiveSite || o.importSite;
    if (o.logFiles.empty() && !o.fetch && !archive) return UsageError{"no LOGFILE"};
    if (o.fetch && o.logFiles.size() > 1) return UsageError{"--fetch takes one NAME"};
    if (std::count(o.logFiles.begin(), o.logFiles.end(), std::string(kStandardInput)) > 1)
        return UsageError{"standard input (-) can be read only once"};
    if (o.dump && o.json) return UsageError{"--dump and --json both write to standard output"};
    if (o.withLog && !o.json) return UsageError{"--with-log goes with --json"};
    return std::nullopt;
}

// Reads the value of one of the filter's options into filter.
std::optional<UsageError> ReadFilterValue(const std::string& option, const std::string& value,
                                          FilterOptions& filter) {
    if (option == "--from" || option == "--to") {
        const std::optional<std::int32_t> day = ParseDayText(value);
        if (!day)
            return UsageError{option + " の値 \"" + value +
                              "\" は YYYY-MM-DD の形の実在する日ではありません"};
        (option == "--from" ? filter.firstDay : filter.lastDay) = day;
    } else if (option == "--status") {
        const std::optional<std::uint8_t> classes = ParseStatusClasses(value);
        if (!classes)
            return UsageError{"--status の値 \"" + value +
                              "\" は 2xx,3xx,4xx,5xx をコンマで区切って並べたものではありません"};
        filter.statusClasses = *classes;
    } else if (value.empty()) {
        return UsageError{option + " の値が空です"};
    } else if (option == "--vhost") {
        if (!IsVirtualHostName(value))
            return UsageError{"--vhost の値 \"" + value +
                              "\" はバーチャルホストの名前ではありません（英数字と . - _ "
                              "で書かれたホスト名を、ポート番号なしで指定してください）"};
        filter.vhost = value;
    } else if (option == "--path") {
        filter.pathPrefix = value;
    } else {
        filter.excludeHostsFile = value;
    }
    return std::nullopt;
}

}  // namespace

std::variant<ReportOptions, UsageError> ParseReportArguments(
    const std::vector<std::string>& arguments) {
    ReportOptions o;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& arg = arguments[i];
        if (arg == "--dump") {
            o.dump = true;
        } else if (arg == "--json") {
            o.json = true;
        } else if (arg == "--with-log") {
            o.withLog = true;
        } else if (arg == "--decode") {
            o.decode = true;
        } else if (arg == "--utf8") {
            o.utf8 = true;
        } else if (arg == "--fetch") {
            o.fetch = true;
        } else if (arg == "--materia" || arg == "--unit" || arg == "--html" || arg == "--csv" ||
                   arg == "--trust") {
            if (i + 1 >= arguments.size()) return UsageError{"missing value"};
            const std::string& value = arguments[++i];
            if (arg == "--trust") {
                o.trust = value;
            } else if (arg == "--materia") {
                o.materia = value;
            } else if (arg == "--html") {
                if (value.empty()) return UsageError{"--html takes a file name"};
                o.htmlFile = value;
            } else if (arg == "--csv") {
                if (value.empty()) return UsageError{"--csv takes a folder name"};
                o.csvDir = value;
            } else {
                char* end = nullptr;
                const long n = std::strtol(value.c_str(), &end, 10);
                if (value.empty() || *end != '\0' || n < -1 || n > 3)
                    return UsageError{"--unit takes -1 to 3"};
                o.unit = static_cast<int>(n);
            }
        } else if (arg == "--archive-list") {
            o.archiveList = true;
        } else if (arg == "--import" || arg == "--archive") {
            if (i + 1 >= arguments.size()) return UsageError{arg + " の値 (SITE) がありません"};
            const std::string& site = arguments[++i];
            if (const auto problem = SiteNameProblem(site))
                return UsageError{arg + ": " + Cp932ToUtf8(*problem)};
            (arg == "--import" ? o.importSite : o.archiveSite) = site;
        } else if (arg == "--humans") {
            o.filter.humans = true;
        } else if (arg == "--exclude-own") {
            o.filter.excludeOwn = true;
        } else if (arg == "--from" || arg == "--to" || arg == "--exclude-hosts" ||
                   arg == "--path" || arg == "--status" || arg == "--vhost") {
            if (i + 1 >= arguments.size()) return UsageError{arg + " の値がありません"};
            if (auto refused = ReadFilterValue(arg, arguments[++i], o.filter)) return *refused;
        } else if (arg == "--help" || arg == "-h") {
            o.help = true;
            return o;
        } else if (!arg.empty() && arg[0] == '-' && arg != kStandardInput) {
            return UsageError{"unknown option " + arg};
        } else {
            o.logFiles.push_back(arg);
        }
    }
    if (auto refused = RefusedCombination(o)) return *refused;
    if (o.archiveSite) {
        // The day files hold only their days' lines: the period picks files.
        o.archiveFirstDay = std::exchange(o.filter.firstDay, std::nullopt);
        o.archiveLastDay = std::exchange(o.filter.lastDay, std::nullopt);
    }
    return o;
}

std::string UsageErrorText(const UsageError& error) {
    return "pomurina-report: " + error.problem + "\n" + kReportUsage;
}

}  // namespace pomurina
