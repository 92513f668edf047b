#include "AnalysisTestSupport.h"

#include <cstdio>
#include <cstdlib>

#include "window/StateDump.h"
#include "Errors.h"
#include "text/TextLines.h"

namespace pomurina::testing {

std::vector<std::string> LinesOf(const LineSource& source) {
    std::vector<std::string> lines;
    std::string scratch;
    for (std::size_t i = 0; i < source.Count(); ++i) lines.emplace_back(source.Line(i, scratch));
    return lines;
}

std::vector<std::string> LinesOf(const Pane& pane) {
    return pane.Lines().ToVector();
}

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

std::string StateDumpOf(ResultWindow& window, const std::optional<std::string>& error) {
    char* buffer = nullptr;
    std::size_t length = 0;
    std::FILE* out = ::open_memstream(&buffer, &length);
    const bool written = WriteStateDump(window, error, out);
    std::fclose(out);
    std::string dump = written ? std::string(buffer, length) : std::string("(not written)");
    std::free(buffer);
    return dump;
}

std::optional<std::string> CurrentError() {
    return WithFullStop(CurrentExceptionMessage());
}

std::string DumpAfterRun(ResultWindow& window, const std::function<void()>& run) {
    const auto error = ErrorOf(run);
    return StateDumpOf(window, error);
}

}  // namespace pomurina::testing
