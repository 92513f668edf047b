#pragma once
// One analysis run: a log file, given by its path, turned into the filled
// main window (panes, fields, graphs), with the progress window kept up to
// date, and into the run's typed results.
#include <cstdint>
#include <string>
#include <vector>

#include "analysis/ParallelClassification.h"
#include "analysis/RunResult.h"
#include "filter/LineFilter.h"
#include "window/ResultWindow.h"

namespace pomurina {

// Where a run finds its reference lists.
struct RunPlaces {
    // Made the current directory before the lists are loaded.
    std::string programDirectory;
    // The lists' folder, relative to programDirectory or absolute.
    std::string materiaDirectory = "materia";
};

// Runs the analysis of the logs at paths, read as one log in the order given
// (each path used unchanged: a relative one resolves against the current
// directory when the run starts; "-" is standard input).  Failures propagate
// as pomurina::Error; what the window then shows is described where each
// step can fail.  plan says how the lines are shared among the cores; the
// result doesn't depend on it.  With a filter set, the run sees only the
// lines that pass it, in their order, as if the logs held only them (none
// passing fails the run).  Returns what the window then shows, typed.
RunResult LogCounting(ResultWindow& window, const std::vector<std::string>& paths,
                      const RunPlaces& places, const ClassifyPlan& plan = {},
                      const LineFilter& filter = {});
// The same run on the lines an earlier run read (RunResult::wholeLog) of the
// logs at paths, without reading the files again (held may be a selection:
// the filter then chooses among its own lines).  chosen, when not empty, is
// what SelectLines made of held for filter, so the lines aren't read twice.
RunResult LogCounting(ResultWindow& window, std::shared_ptr<const TextLines> held,
                      const std::vector<std::string>& paths, const RunPlaces& places,
                      const ClassifyPlan& plan, const LineFilter& filter,
                      std::vector<std::uint64_t> chosen = {});
inline RunResult LogCounting(ResultWindow& window, const std::string& path, const RunPlaces& places,
                             const ClassifyPlan& plan = {}) {
    return LogCounting(window, std::vector<std::string>{path}, places, plan);
}

}  // namespace pomurina
