#pragma once
// Helpers shared by the analysis tests.
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ProgramDir.h"
#include "TempDir.h"
#include "analysis/ClassifyLine.h"
#include "window/ResultWindow.h"

namespace pomurina::testing {

// Every line of a source, composed.
std::vector<std::string> LinesOf(const LineSource& source);
std::vector<std::string> LinesOf(const Pane& pane);

// Lists built from entries and prepared for searching.
ReferenceLists MakeLists(std::vector<std::string> own = {}, std::vector<std::string> watched = {},
                         std::vector<std::string> robots = {});

// The result of classifying every line of text (lines split as a log is).
std::unique_ptr<CountingResult> Classify(const std::string& text,
                                         const ReferenceLists& lists = MakeLists());

// The state dump of a window (as --dump writes it); error is the failed run's text.
std::string StateDumpOf(ResultWindow& window, const std::optional<std::string>& error);

// The error box's text for the exception being handled (full stop applied).
std::optional<std::string> CurrentError();

// Runs f and returns the error box text it would show, if any.
template <typename F>
std::optional<std::string> ErrorOf(F&& f) {
    try {
        f();
    } catch (...) {
        return CurrentError();
    }
    return std::nullopt;
}

// The state dump of window after run, which writes to it (with its error, if any).
std::string DumpAfterRun(ResultWindow& window, const std::function<void()>& run);

}  // namespace pomurina::testing
