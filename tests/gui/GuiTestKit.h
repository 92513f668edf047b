#pragma once
// Helpers of the window tests: a program directory of their own, error boxes
// caught instead of shown, log lines, and the exact state dump of a window.
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "AnalysisTestSupport.h"
#include "ProgramDir.h"
#include "window/ResultWindow.h"

namespace pomurina::guitest {

// A program directory of its own with materia/ holding the default files
// (setup.ini among them), as a fresh copy of the program has.
class ProgramHome : public testing::ProgramDir {
public:
    ProgramHome() : ProgramDir(Materia::Defaults) {}
};

// Error and information boxes, caught while it lives (UTF-8 texts).
class CaughtBoxes {
public:
    CaughtBoxes();
    ~CaughtBoxes();
    CaughtBoxes(const CaughtBoxes&) = delete;
    CaughtBoxes& operator=(const CaughtBoxes&) = delete;
    const std::vector<std::string>& Texts() const { return m_texts; }

private:
    std::vector<std::string> m_texts;
};

std::string Sjis(const char* utf8);

// A combined-format line at the hour, with a referrer and an agent.
std::string LogLine(int hour, const std::string& request, int status, const std::string& size,
                    const std::string& host = "192.0.2.1", const std::string& referrer = "-");

// The state dump of a window (and of the error, if any), as bytes.
std::string DumpOf(ResultWindow& window, const std::optional<std::string>& error = std::nullopt);

// A dump without the progress window's lines (the window keeps those of
// earlier runs and imports; a filter applied in the window reads no file).
std::string WithoutProgressLines(const std::string& dump);

// The dump of a fresh in-memory window after a run on path (the report tool's way).
std::string ReferenceDump(const std::string& path);

// Error box texts of runs, as the analysis tests take them.
using testing::CurrentError;
using testing::ErrorOf;

}  // namespace pomurina::guitest
