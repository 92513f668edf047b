#include "insight/RowLines.h"

#include <string>

#include "parallel/OrderedWork.h"

namespace pomurina {

std::optional<std::vector<std::size_t>> FindRowLines(const LineSource& lines,
                                                     const InsightRules& rules,
                                                     const InsightRow& row,
                                                     const std::atomic<bool>& cancelled) {
    // Pieces small enough that a cancel is seen within a few milliseconds.
    constexpr std::size_t kPieceLines = 16384;
    const std::size_t count = lines.Count();
    const std::size_t pieces = (count + kPieceLines - 1) / kPieceLines;
    std::vector<std::vector<std::size_t>> found(pieces);
    std::vector<std::size_t> all;
    RunOrdered(
        {pieces, 0, 0},
        [&](std::size_t k) {
            if (cancelled.load(std::memory_order_relaxed)) return false;
            RowLineTest test(rules, row);
            std::string scratch;
            const std::size_t end = std::min(count, (k + 1) * kPieceLines);
            for (std::size_t i = k * kPieceLines; i < end; ++i)
                if (test.Holds(lines.Line(i, scratch))) found[k].push_back(i);
            return true;
        },
        [&](std::size_t k) {
            all.insert(all.end(), found[k].begin(), found[k].end());
            found[k] = {};
        });
    if (cancelled.load()) return std::nullopt;
    return all;
}

}  // namespace pomurina
