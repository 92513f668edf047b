// pomurina-drilldown-bench: how long the window's thread is kept while the
// raw-log pane is narrowed to a row of the analysis window.  The main window
// analyses LOG, then the top row of each table that names lines is
// double-clicked; a timer ticking every millisecond tells the longest gap
// between two turns of the event loop until the lines are shown.  With
// SHOTS, the windows are captured while the first row is being found and
// once it is shown (SHOTS-finding.png, SHOTS-found.png, SHOTS-insight.png),
// the row being the top one of TABLE (default hosts) when given.
//
//   pomurina-drilldown-bench LOG [SHOTS [TABLE]]
#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <cstdio>
#include <string>
#include <vector>

#include "InsightWindow.h"
#include "LogNarrowing.h"
#include "MainWindow.h"
#include "ProgressWindow.h"
#include "widgets/InsightModels.h"
#include "widgets/PaneView.h"

using namespace pomurina;

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: pomurina-drilldown-bench LOG [SHOTS]\n");
        return 2;
    }
    QApplication app(argc, argv);
    const std::string shots = argc > 2 ? argv[2] : "";
    TForm2 progress;
    Form2 = &progress;
    TForm1 form;
    Form1 = &form;
    TInsight insight;
    InsightForm = &insight;
    form.resize(1000, 700);
    form.show();
    QElapsedTimer clock;
    clock.start();
    form.LogCounting(std::string(argv[1]));
    std::printf("run: %.3f s, %zu lines\n", static_cast<double>(clock.elapsed()) / 1000,
                form.NamaLog->Lines().Count());
    insight.show();
    QApplication::processEvents();
    if (!insight.Models()) {
        std::fprintf(stderr, "the run has no insight\n");
        return 1;
    }
    // The longest wait between two ticks of a 1 ms timer.
    qint64 longest = 0;
    QElapsedTimer sinceTick;
    QTimer tick;
    tick.setInterval(1);
    QObject::connect(&tick, &QTimer::timeout,
                     [&] { longest = std::max(longest, sinceTick.restart()); });
    bool first = true;
    std::vector<std::string> keys = {"hosts",  "pages",           "status_codes", "days",
                                     "robots", "referring_sites", "not_found",    "search_phrases"};
    if (argc > 3) keys.insert(keys.begin(), argv[3]);
    for (const std::string& name : keys) {
        const char* key = name.c_str();
        if (insight.Models()->Find(key)->rowCount() == 0) continue;
        form.ShowAllLines();
        QApplication::processEvents();
        longest = 0;
        sinceTick.start();
        tick.start();
        QElapsedTimer took;
        took.start();
        insight.RowDoubleClick(key, 0);
        const qint64 click = took.elapsed();
        bool captured = false;
        while (form.Narrowing().Finding()) {
            QApplication::processEvents(QEventLoop::WaitForMoreEvents);
            if (first && !shots.empty() && !captured && took.elapsed() > 20) {
                form.grab().save(QString::fromStdString(shots + "-finding.png"));
                captured = true;
            }
        }
        const qint64 found = took.elapsed();
        QApplication::processEvents();
        tick.stop();
        std::printf(
            "%-16s %9zu lines  shown after %5lld ms; the click kept the thread %4lld ms, "
            "the longest gap between ticks %4lld ms\n",
            key, form.NamaLog->Shown().Count(), static_cast<long long>(found),
            static_cast<long long>(click), static_cast<long long>(longest));
        if (first && !shots.empty()) {
            form.grab().save(QString::fromStdString(shots + "-found.png"));
            insight.grab().save(QString::fromStdString(shots + "-insight.png"));
        }
        first = false;
    }
    return 0;
}
