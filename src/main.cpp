// ポムリナ: the window program.  "pomurina [LOGFILE...]" starts it (and
// analyses the LOGFILEs right away, as one log); "pomurina --dump-state OUT
// [LOGFILE...]" writes the state of every result to OUT instead of showing
// any window.
#include <cstdio>
#include <string>
#include <vector>

#include "PomurinaApplication.h"
#include "StartUp.h"

int main(int argc, char** argv) {
    pomurina::PomurinaApplication app(argc, argv);
    std::string problem;
    const auto request =
        pomurina::ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc), problem);
    if (!request) {
        std::fprintf(stderr,
                     "pomurina: %s\nusage: pomurina [LOGFILE...]\n       pomurina --dump-state OUT "
                     "[LOGFILE...]\n",
                     problem.c_str());
        return 2;
    }
    return pomurina::RunProgram(*request);
}
