// pomurina-search-bench: how long a search through a pane takes.  The log
// (with the term on its last line only) goes into a raw-log pane, offscreen,
// as a run puts it there; then the term is searched from the first line
// down, best of three: the search alone (matching case and ignoring it),
// and the find bar as the user drives it, with the longest time the event
// loop had to wait while it searched.
//
//   pomurina-search-bench LOGFILE TERM...   (each TERM in Shift-JIS bytes)
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <functional>

#include "SjisQt.h"
#include "search/PaneSearch.h"
#include "io/FileIo.h"
#include "text/Cp932.h"
#include "text/TextLines.h"
#include "widgets/FindBar.h"
#include "widgets/PaneView.h"

using namespace pomurina;

namespace {

double BestOfThree(const std::function<void()>& run) {
    double best = 1e9;
    for (int i = 0; i < 3; ++i) {
        const auto start = std::chrono::steady_clock::now();
        run();
        best = std::min(
            best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    return best;
}

// Searches pane for term: the search alone, then the find bar; false when
// the term was not found on the last line.
bool Measure(PaneView& pane, const std::string& term) {
    const std::size_t count = pane.Lines().Count();
    std::printf("term \"%s\"\n", Cp932ToUtf8(term).c_str());
    bool lastLine = true;
    for (const bool matchCase : {true, false}) {
        std::size_t found = 0;
        const double seconds = BestOfThree([&] {
            PaneSearch search(TextFinder(term, matchCase), PaneSearch::Direction::Forward, 0, 0,
                              count);
            while (search.Step(pane.Lines(), 1 << 20) == PaneSearch::State::Running) {
            }
            found = search.Current() == PaneSearch::State::Found ? search.Match().line + 1 : 0;
        });
        std::printf("  search %-14s %7.3f s  (found on line %zu of %zu)\n",
                    matchCase ? "matching case" : "ignoring case", seconds, found, count);
        lastLine = lastLine && found == count;
    }

    // The find bar (case ignored, as it starts): from the first row, the
    // event loop running meanwhile.
    FindBar& bar = FindBar::Of(pane);
    bar.Text->setText(FromSjis(term));
    double longestWait = 0;
    const double seconds = BestOfThree([&] {
        pane.setCurrentIndex(pane.model()->index(0, 0));
        QElapsedTimer sinceTurn;
        QTimer turns;
        turns.setInterval(0);
        QObject::connect(&turns, &QTimer::timeout, [&] {
            longestWait = std::max(longestWait, sinceTurn.nsecsElapsed() / 1e9);
            sinceTurn.restart();
        });
        turns.start();
        sinceTurn.start();
        bar.FindNext();
        while (bar.Searching()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        longestWait = std::max(longestWait, sinceTurn.nsecsElapsed() / 1e9);
    });
    const bool barFound = bar.Match() && bar.Match()->line + 1 == count;
    std::printf("  find bar (F3)         %7.3f s  (%s; the event loop waited %.3f s at most)\n",
                seconds, barFound ? "found on the last line" : "NOT FOUND", longestWait);
    return lastLine && barFound;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: pomurina-search-bench LOGFILE TERM...\n");
        return 2;
    }
    std::string bytes;
    if (ReadWholeFile(argv[1], bytes) != 0) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    PaneView pane("NamaLog");
    pane.resize(800, 600);
    pane.show();
    pane.ReplaceAll(std::make_shared<const TextLines>(std::move(bytes)));
    bool ok = true;
    for (int i = 2; i < argc; ++i) ok = Measure(pane, argv[i]) && ok;
    return ok ? 0 : 1;
}
