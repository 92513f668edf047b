#pragma once
// What the reports show and where each value comes from: the run's typed
// results for the numbers and the graphs, the window for its panes and for
// what it shows of the transfer volume, named for what they hold.
#include <array>
#include <cstdint>
#include <ctime>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "analysis/RunResult.h"
#include "filter/LineFilter.h"
#include "window/ResultWindow.h"

namespace pomurina {

// What a report tells beside the window's panes.
struct ReportSource {
    std::vector<std::string> files;        // the analysed logs' paths, as the file system has them
    std::time_t created = 0;               // when the report was made
    std::optional<std::string> error;      // the run's failure (Shift-JIS), when it stopped
    std::shared_ptr<const RunResult> run;  // the run's results; none when it stopped
    const LineFilter* filter = nullptr;    // what the run kept of the logs, when filtered
};

// The run's summary; none when the run stopped before its end.
const Summary* ReportedSummary(const ReportSource& source);
// The run's insight; none when the run stopped before its end or had none.
const Insight* ReportedInsight(const ReportSource& source);
// Why a run that ended has no insight, if it hasn't (Shift-JIS).
const std::string* InsightProblem(const ReportSource& source);

// A number of the summary as a field shows it; "-" without a summary, as a
// field shows before any run.
std::string CountText(FieldId field, const Summary* summary);

// What the window shows of the transfer volume: the text of its field and
// the unit that text is in (the unit box converts the text after the run).
struct ShownTransfer {
    std::string text;  // Shift-JIS
    int unit;          // as LastByteUnit: kNoUnitYet before any run, -1 with no unit chosen
};
// Reads what the window shows of the transfer volume.
ShownTransfer TransferAsShown(ResultWindow& window);

// One labelled field of a summary box.
struct SummaryRow {
    const char* key;
    const char* label;
    FieldId field;  // on the tab "カウント"
};
// The boxes "接続", "要求(GET)" and "受信(POST)" of the summary tab.
struct SummaryBox {
    const char* key;
    const char* caption;
    std::array<SummaryRow, 5> rows;
};
extern const std::array<SummaryBox, 3> kSummaryBoxes;

struct ReportGraph {
    const char* key;
    const char* caption;
    GraphId graph;
    HourCounts Summary::*hours;
};
extern const std::array<ReportGraph, 3> kReportGraphs;

struct ReportPane {
    PaneId id;
    const char* key;    // what the pane holds, for scripts
    const char* title;  // for people
    const char* place;  // its tab in the window
};
// Every pane, the raw log last.
extern const std::array<ReportPane, kPaneCount> kReportPanes;

// How many lines at the top of a pane are its header: the explanation and
// rule put over nine panes, or a reference list's header down to its rule.
std::size_t HeaderLines(ResultWindow& window, PaneId pane);

}  // namespace pomurina
