#include "AnalysisTestSupport.h"

#include <unistd.h>

#include <atomic>
#include <fstream>
#include <sstream>

#include "text/TextLines.h"

namespace pomurina::testing {

namespace fs = std::filesystem;

std::vector<std::string> LinesOf(const LineSource& source) {
    std::vector<std::string> lines;
    std::string scratch;
    for (std::size_t i = 0; i < source.Count(); ++i) lines.emplace_back(source.Line(i, scratch));
    return lines;
}

std::vector<std::string> LinesOf(const Pane& pane) { return pane.Lines().ToVector(); }

ReferenceLists MakeLists(std::vector<std::string> own, std::vector<std::string> watched,
                         std::vector<std::string> robots) {
    ReferenceLists lists;
    lists.OwnDomains = TextList(std::move(own));
    lists.WatchedDomains = TextList(std::move(watched));
    lists.RobotStrings = TextList(std::move(robots));
    lists.Prepare();
    return lists;
}

std::unique_ptr<CountingResult> Classify(const std::string& text, const ReferenceLists& lists) {
    auto lines = std::make_shared<const TextLines>(text);
    auto result = std::make_unique<CountingResult>(lines);
    for (std::size_t i = 0; i < lines->Count(); ++i) {
        ClassifyLine(lines->At(i), lists, *result);
        ++result->LineCount;
    }
    return result;
}

ProgramDir::ProgramDir() : m_previousCwd(fs::current_path()) {
    static std::atomic<int> serial{0};
    m_path = fs::temp_directory_path() /
             ("pomurina-test-" + std::to_string(::getpid()) + "-" + std::to_string(serial++));
    fs::create_directories(m_path / "materia");
    WriteList("DomeinList.dat", {});
    WriteList("CheckDomeinList.dat", {});
    WriteList("SERobotsList.dat", {});
}

ProgramDir::~ProgramDir() {
    std::error_code ignored;
    fs::current_path(m_previousCwd, ignored);
    fs::remove_all(m_path, ignored);
}

void ProgramDir::WriteList(const std::string& name, std::initializer_list<std::string> entries) {
    std::string bytes;
    for (const auto& e : entries) bytes += e + "\r\n";
    WriteFile("materia/" + name, bytes);
}

std::string ProgramDir::WriteFile(const std::string& name, const std::string& bytes) {
    const fs::path path = m_path / name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path.string();
}

std::string ReadFileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

}  // namespace pomurina::testing
