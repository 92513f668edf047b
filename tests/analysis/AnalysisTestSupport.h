#pragma once
// Helpers shared by the analysis tests.
#include <filesystem>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "analysis/ClassifyLine.h"
#include "analysis/ResultWindow.h"

namespace pomurina::testing {

// Every line of a source, composed.
std::vector<std::string> LinesOf(const LineSource& source);
std::vector<std::string> LinesOf(const Pane& pane);

// Lists built from entries and prepared for searching.
ReferenceLists MakeLists(std::vector<std::string> own = {}, std::vector<std::string> watched = {},
                         std::vector<std::string> robots = {});

// The result of classifying every line of text (lines split as a log is).
std::unique_ptr<CountingResult> Classify(const std::string& text, const ReferenceLists& lists = MakeLists());

// A program directory of its own, with materia/ holding the three lists; removed at the end.
class ProgramDir {
public:
    ProgramDir();
    ~ProgramDir();
    ProgramDir(const ProgramDir&) = delete;
    ProgramDir& operator=(const ProgramDir&) = delete;
    const std::filesystem::path& Path() const { return m_path; }
    // Writes a list file (entries joined with CR LF).
    void WriteList(const std::string& name, std::initializer_list<std::string> entries);
    // Writes a file under the directory and returns its full path.
    std::string WriteFile(const std::string& name, const std::string& bytes);

private:
    std::filesystem::path m_path;
    std::filesystem::path m_previousCwd;
};

std::string ReadFileBytes(const std::filesystem::path& path);

}  // namespace pomurina::testing
