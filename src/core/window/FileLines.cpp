#include "window/FileLines.h"

#include <algorithm>

namespace pomurina {

FileLines::FileLines(std::shared_ptr<const TextLines> run,
                     const std::vector<std::shared_ptr<const OriginalLog>>& originals)
    : m_run(std::move(run)), m_originals(originals) {
    const std::size_t runCount = m_run->Count();
    std::size_t runAt = 0;
    const auto addRun = [&](std::size_t end) {
        if (end > runAt)
            m_stretches.push_back({m_count, end - runAt, runAt, runAt, end - runAt, nullptr, nullptr});
        m_count += end - runAt;
        runAt = end;
    };
    for (const auto& log : m_originals) {
        if (!log) continue;
        // The run's line that begins where the log's lines begin.
        std::size_t low = runAt, high = runCount;
        while (low < high) {
            const std::size_t middle = low + (high - low) / 2;
            if (m_run->Offset(middle) < log->runBytesBefore)
                low = middle + 1;
            else
                high = middle;
        }
        addRun(low);
        auto lines = std::make_shared<const TextLines>(std::string_view(log->bytes));
        const std::size_t stands = std::min(log->lineOf.size(), runCount - runAt);
        m_stretches.push_back({m_count, lines->Count(), 0, runAt, stands, lines, log.get()});
        m_count += lines->Count();
        runAt += stands;
    }
    addRun(runCount);
}

const FileLines::Stretch& FileLines::StretchOf(std::size_t index) const {
    const auto after = std::upper_bound(
        m_stretches.begin(), m_stretches.end(), index,
        [](std::size_t i, const Stretch& stretch) { return i < stretch.shownFirst; });
    return *(after - 1);
}

std::string_view FileLines::At(std::size_t index) const {
    const Stretch& stretch = StretchOf(index);
    const std::size_t line = stretch.first + index - stretch.shownFirst;
    return stretch.original ? stretch.original->At(line) : m_run->At(line);
}

std::string_view FileLines::Line(std::size_t index, std::string&) const {
    return At(index);
}

std::size_t FileLines::Length(std::size_t index) const {
    return At(index).size();
}

std::size_t FileLines::ShownLine(std::size_t runLine) const {
    for (const Stretch& stretch : m_stretches) {
        if (runLine < stretch.runFirst || runLine >= stretch.runFirst + stretch.runCount) continue;
        const std::size_t k = runLine - stretch.runFirst;
        if (!stretch.log) return stretch.shownFirst + k;
        const std::uint64_t fileLine = stretch.log->lineOf[k];
        return stretch.shownFirst +
               static_cast<std::size_t>(std::min<std::uint64_t>(fileLine, stretch.count - 1));
    }
    return m_count == 0 ? 0 : m_count - 1;
}

}  // namespace pomurina
