#include "archive/DayMerge.h"

#include <algorithm>
#include <unordered_map>

namespace pomurina {
namespace {

bool Earlier(const DatedLine& a, const DatedLine& b) {
    return a.seconds < b.seconds;
}

}  // namespace

DayMergeOutcome MergeDay(std::string_view kept, const std::vector<DatedLine>& imported) {
    DayMergeOutcome outcome;
    const std::vector<std::string_view> keptLines = SplitDayLines(kept);
    // How many copies of each text the day file has and no line of the log
    // has matched yet.
    std::unordered_map<std::string_view, std::size_t> unmatched;
    unmatched.reserve(keptLines.size());
    for (const std::string_view line : keptLines) ++unmatched[line];
    std::vector<DatedLine> added;
    for (const DatedLine& line : imported) {
        const auto copy = unmatched.find(line.text);
        if (copy != unmatched.end() && copy->second > 0) {
            --copy->second;
            ++outcome.alreadyHad;
        } else {
            added.push_back(line);
        }
    }
    outcome.added = added.size();
    if (added.empty()) return outcome;

    std::vector<DatedLine> old = DateLines(keptLines);
    if (old.empty())  // no time at all: the file's order stands
        for (const std::string_view line : keptLines) old.push_back(DatedLine{line, 0, 0});
    std::stable_sort(old.begin(), old.end(), Earlier);
    std::stable_sort(added.begin(), added.end(), Earlier);
    std::vector<DatedLine> merged;
    merged.reserve(old.size() + added.size());
    // std::merge takes from the first range first on equal times.
    std::merge(old.begin(), old.end(), added.begin(), added.end(), std::back_inserter(merged),
               Earlier);
    std::size_t bytes = 0;
    for (const DatedLine& line : merged) bytes += line.text.size() + 1;
    outcome.lines.reserve(bytes);
    for (const DatedLine& line : merged) {
        outcome.lines += line.text;
        outcome.lines += '\n';
    }
    return outcome;
}

}  // namespace pomurina
