#pragma once
// One analysis run: a log file, given by its path, turned into the filled
// main window (panes, fields, graphs), with the progress window kept up to date.
#include <string>

#include "analysis/ParallelClassification.h"
#include "analysis/ResultWindow.h"

namespace pomurina {

// Where a run finds its reference lists.
struct RunPlaces {
    // Made the current directory before the lists are loaded.
    std::string programDirectory;
    // The lists' folder, relative to programDirectory or absolute.
    std::string materiaDirectory = "materia";
};

// Runs the analysis of the log file at path (used unchanged: a relative path
// resolves against the current directory when the run starts).  Failures
// propagate as pomurina::Error; what the window then shows is described
// where each step can fail.  plan says how the lines are shared among the
// cores; the result doesn't depend on it.
void LogCounting(ResultWindow& window, const std::string& path, const RunPlaces& places,
                 const ClassifyPlan& plan = {});

}  // namespace pomurina
