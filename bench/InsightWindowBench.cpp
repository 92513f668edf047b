// pomurina-insight-window-bench: how long the アクセス解析 window takes to
// open on an insight with many hosts, and to sort its hosts table by each
// column, offscreen.  The insight is made up (N hosts with spread counts
// and times), so no log needs reading; or it is a log's, analysed first as
// the report tool does.
//
//   pomurina-insight-window-bench [HOSTS]   (default 1,000,000)
//   pomurina-insight-window-bench LOG
#include <QApplication>
#include <QHeaderView>
#include <QListWidget>
#include <QTableView>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

#include "InsightWindow.h"
#include "widgets/InsightTableModel.h"
#include "analysis/LogCounting.h"
#include "io/DataFolder.h"
#include "window/ResultWindow.h"

using namespace pomurina;

namespace {

double Seconds(const std::function<void()>& run) {
    const auto start = std::chrono::steady_clock::now();
    run();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

std::shared_ptr<const RunResult> MadeUpRun(std::size_t hosts) {
    auto insight = std::make_shared<Insight>();
    std::uint64_t state = 24;
    const auto next = [&state] {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        return state >> 33;
    };
    insight->hosts.reserve(hosts);
    for (std::size_t k = 0; k < hosts; ++k) {
        HostRow row;
        row.host = std::to_string(next() % 223 + 1) + "." + std::to_string(next() % 256) + "." +
                   std::to_string(next() % 256) + "." + std::to_string(next() % 256);
        row.hits = static_cast<std::int64_t>(1 + next() % 5000 / (1 + next() % 100));
        row.pages = row.hits / 3;
        row.bytes = row.hits * static_cast<std::int64_t>(next() % 40000);
        row.lastSeen = {static_cast<std::int32_t>(20000 + next() % 1000), static_cast<int>(next() % 24),
                        static_cast<int>(next() % 60), static_cast<int>(next() % 60)};
        insight->hosts.push_back(std::move(row));
    }
    insight->totals.hits = static_cast<std::int64_t>(hosts);
    auto run = std::make_shared<RunResult>();
    run->insight = std::move(insight);
    return run;
}

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    const std::string given = argc > 1 ? argv[1] : "1000000";
    std::shared_ptr<const RunResult> run;
    if (given.find_first_not_of("0123456789") == std::string::npos) {
        run = MadeUpRun(std::strtoull(given.c_str(), nullptr, 10));
    } else {
        MemoryWindow log;
        const double seconds = Seconds([&] {
            run = std::make_shared<const RunResult>(
                LogCounting(log, given, RunPlaces{DataFolder(), "materia"}));
        });
        std::printf("analysed %s: %.3f s\n", given.c_str(), seconds);
    }
    if (!run->insight) {
        std::fprintf(stderr, "the run has no insight\n");
        return 1;
    }
    const std::size_t hosts = run->insight->hosts.size();
    TInsight window;
    window.ShowRun(run, 0);
    const double open = Seconds([&] {
        window.show();
        QApplication::processEvents();
    });
    std::printf("hosts: %zu\nopen the window (models, views, first paint): %.3f s\n", hosts, open);
    window.PageList->setCurrentRow(12);  // ホスト
    QApplication::processEvents();
    QTableView& view = *window.View("hosts");
    const auto* model = dynamic_cast<const InsightTableModel*>(view.model());
    const char* names[] = {"host", "hits", "share", "pages", "bytes", "last seen"};
    for (int column = 0; column < view.model()->columnCount(); ++column)
        for (const auto order : {Qt::AscendingOrder, Qt::DescendingOrder}) {
            // A large table is sorted in the background: until it is shown,
            // and how long the window's thread was kept by the click.
            double kept = 0;
            const double seconds = Seconds([&] {
                kept = Seconds([&] { view.sortByColumn(column, order); });
                do QApplication::processEvents(QEventLoop::WaitForMoreEvents);
                while (model->Sorting());
            });
            std::printf("sort by %-9s %-10s %.3f s (the thread kept %.3f s)\n", names[column],
                        order == Qt::AscendingOrder ? "ascending" : "descending", seconds, kept);
        }
    return 0;
}
