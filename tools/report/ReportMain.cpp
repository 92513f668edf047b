// pomurina-report: one analysis run without a window, as a freshly started
// program would make it, printed as a readable summary or as the exact dump.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "DecodeFilter.h"
#include "ReadableSummary.h"
#include "analysis/LogCounting.h"
#include "analysis/StateDump.h"
#include "io/DataFolder.h"
#include "io/FileIo.h"
#include "text/Cp932.h"
#include "text/Errors.h"

namespace {

constexpr const char* kUsage =
    "usage: pomurina-report [--materia DIR] [--unit N] [--dump] LOGFILE\n"
    "       pomurina-report --decode [--utf8]   (URL-decodes standard input)\n";

int Usage(const char* problem) {
    std::fprintf(stderr, "pomurina-report: %s\n%s", problem, kUsage);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace pomurina;
    std::optional<std::string> materia;
    int unit = 0;
    bool dump = false;
    bool decode = false;
    bool utf8 = false;
    std::optional<std::string> logFile;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--dump") {
            dump = true;
        } else if (arg == "--decode") {
            decode = true;
        } else if (arg == "--utf8") {
            utf8 = true;
        } else if (arg == "--materia" || arg == "--unit") {
            if (i + 1 >= argc) return Usage("missing value");
            const std::string value = argv[++i];
            if (arg == "--materia") {
                materia = value;
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
        } else if (logFile) {
            return Usage("only one LOGFILE");
        } else {
            logFile = arg;
        }
    }
    if (decode) {
        if (logFile || dump || materia || unit != 0) return Usage("--decode takes only --utf8");
        return DecodeFilter(stdin, stdout, stderr, utf8);
    }
    if (utf8) return Usage("--utf8 goes with --decode");
    if (!logFile) return Usage("no LOGFILE");

    // --materia names the lists' folder; otherwise they are in the data folder.
    RunPlaces places;
    places.programDirectory = ProgramDirectory();
    if (materia) {
        places.materiaDirectory = FullPath(*materia);
    } else {
        try {
            places.programDirectory = SetUpDataFolder().folder;
        } catch (const Error& e) {
            std::fprintf(stderr, "%s\n", Cp932ToUtf8(WithFullStop(e.Message())).c_str());
            return 1;
        }
    }

    MemoryWindow window;
    window.Unit().SetItemIndex(unit);
    std::optional<std::string> error;
    try {
        LogCounting(window, *logFile, places);
    } catch (...) {
        error = WithFullStop(CurrentExceptionMessage());
    }

    if (dump) {
        if (!WriteStateDump(window, error, stdout)) {
            std::fputs("pomurina-report: cannot write the dump\n", stderr);
            return 1;
        }
    } else if (!error) {
        const std::string summary = ReadableSummary(window);
        std::fwrite(summary.data(), 1, summary.size(), stdout);
    }
    if (error) {
        std::fprintf(stderr, "%s\n", Cp932ToUtf8(*error).c_str());
        return 1;
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}
