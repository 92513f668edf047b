#pragma once
// The report tool's command line read into what it asks for, or refused with
// the problem the usage message names; nothing is run, opened or resolved.
#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace pomurina {

// The usage text: on standard output for --help, after a refusal's problem
// on standard error.
extern const char* const kReportUsage;

// What the command line keeps of the logs (see LineFilter), values read.
struct FilterOptions {
    std::optional<std::int32_t> firstDay = {}, lastDay = {};  // --from, --to YYYY-MM-DD
    std::optional<std::string> excludeHostsFile = {};          // --exclude-hosts FILE
    bool excludeOwn = false;      // --exclude-own: the lists' ExcludeHosts.dat
    bool humans = false;          // --humans
    std::string pathPrefix = {};  // --path PREFIX, never empty when given
    std::uint8_t statusClasses = 0;  // --status 2xx,4xx…
    std::string vhost = {};          // --vhost NAME

    bool IsSet() const {
        return firstDay || lastDay || excludeHostsFile || excludeOwn || humans ||
               !pathPrefix.empty() || statusClasses || !vhost.empty();
    }
    bool operator==(const FilterOptions&) const = default;
};

// What the command line asks for, each value as given.
struct ReportOptions {
    bool help = false;                         // --help or -h: the usage, and nothing else
    bool decode = false;                       // --decode: URL-decodes standard input
    bool utf8 = false;                         // --utf8, with --decode
    std::optional<std::string> materia = {};   // --materia DIR
    int unit = 0;                              // --unit N, -1 to 3
    bool dump = false;                         // --dump
    bool json = false;                         // --json
    bool withLog = false;                      // --with-log, with --json
    std::optional<std::string> htmlFile = {};  // --html OUT.html, never empty
    std::optional<std::string> csvDir = {};    // --csv DIR, never empty
    bool fetch = false;                        // --fetch
    std::optional<std::string> trust = {};     // --trust FINGERPRINT, with --fetch
    FilterOptions filter = {};
    std::optional<std::string> importSite = {};   // --import SITE: the LOGFILEs into the archive
    std::optional<std::string> archiveSite = {};  // --archive SITE: its days are the logs
    // With --archive, --from and --to choose the days (and filter nothing).
    std::optional<std::int32_t> archiveFirstDay = {}, archiveLastDay = {};
    bool archiveList = false;  // --archive-list
    // The LOGFILEs ("-" once at most), or with --fetch the NAME, if any.
    std::vector<std::string> logFiles = {};

    bool operator==(const ReportOptions&) const = default;
};

// A command line refused (exit status 2).
struct UsageError {
    std::string problem;  // "no LOGFILE", "unknown option --x", ...
};

// Reads the arguments after the program's name.  The first --help ends the
// reading; an argument that can't be read refuses at once; the combinations
// are checked once all are read.
std::variant<ReportOptions, UsageError> ParseReportArguments(
    const std::vector<std::string>& arguments);

// What a refusal prints on standard error: "pomurina-report: PROBLEM", a line
// end, then the usage.
std::string UsageErrorText(const UsageError& error);

}  // namespace pomurina
