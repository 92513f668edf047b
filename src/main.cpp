// ポムリナ: the window program.  "pomurina [LOGFILE...]" starts it (and
// analyses the LOGFILEs right away, as one log); "pomurina --dump-state OUT
// [LOGFILE...]" writes the state of every result to OUT instead of showing
// any window; "--dump-insight OUT" writes the insight as the analysis
// window's tables hold it.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "PomurinaApplication.h"
#include "StartUp.h"

int main(int argc, char** argv) {
    // A dump shows no window, so it needs no screen: Qt's offscreen platform
    // serves wherever the program runs (a terminal, cron, ssh).
    for (int i = 1; i < argc; ++i)
        if (std::string_view(argv[i]) == "--dump-state" ||
            std::string_view(argv[i]) == "--dump-insight")
            setenv("QT_QPA_PLATFORM", "offscreen", 1);
    pomurina::PomurinaApplication app(argc, argv);
    const auto parsed =
        pomurina::ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (const auto* problem = std::get_if<pomurina::CommandLineProblem>(&parsed)) {
        std::fprintf(stderr,
                     "pomurina: %s\nusage: pomurina [LOGFILE...]\n       pomurina --dump-state OUT "
                     "[LOGFILE...]\n       pomurina --dump-insight OUT [LOGFILE...]\n",
                     problem->text.c_str());
        return 2;
    }
    return pomurina::RunProgram(std::get<pomurina::StartRequest>(parsed));
}
