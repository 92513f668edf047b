#pragma once
// What the reports show and where each value is read: the summary fields,
// the hourly graphs and the panes of a window after a run, named for what
// they hold.  The JSON and the HTML report read the window through this.
#include <array>
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "window/ResultWindow.h"

namespace pomurina {

// What a report tells beside the window's state.
struct ReportSource {
    std::vector<std::string> files;    // the analysed logs' paths, as the file system has them
    std::time_t created = 0;           // when the report was made
    std::optional<std::string> error;  // the run's failure (Shift-JIS), when it stopped
};

// Whether the window shows the results of a run that went to its end (its
// last step draws the graphs; a run that fails leaves their empty grids).
bool HasResults(ResultWindow& window);

// A summary field's number; nothing while it shows none ("-").
std::optional<std::int64_t> FieldNumber(ResultWindow& window, int field);

// One labelled field of a summary box.
struct SummaryRow {
    const char* key;
    const char* label;
    int field;  // Edit number
};
// The boxes "接続", "要求(GET)" and "受信(POST)" of the summary tab.
struct SummaryBox {
    const char* key;
    const char* caption;
    std::array<SummaryRow, 5> rows;
};
extern const std::array<SummaryBox, 3> kSummaryBoxes;

// The box "解析": favicon requests (all, and those of Internet Explorer),
// successful requests per host, and the transfer volume.
constexpr int kFaviconMsieField = 31, kFaviconField = 33, kPerHostField = 32, kTransferField = 34;

struct ReportGraph {
    const char* key;
    const char* caption;
    int graph;  // Image number
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
