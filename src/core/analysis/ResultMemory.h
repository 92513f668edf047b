#pragma once
// What a run's results take as they grow, charged to the run's memory
// budget batch by batch: the collections the lines are sorted into, and a
// share for the analyses that read the same lines after them.
#include <cstddef>

#include "analysis/CountingResult.h"
#include "insight/InsightWhole.h"
#include "memory/MemoryBudget.h"

namespace pomurina {

class ResultMemory {
public:
    explicit ResultMemory(MemoryBudget& budget) : m_budget(budget) {}

    // Charges what result has grown by since the last call; throws
    // MemoryShortageError when the budget can't hold it.
    void Follow(const CountingResult& result);
    // From now on the analyses after the collections are charged by what
    // insight's tables take (none without it), not by a share of each line.
    void Measure(const InsightWhole* insight) {
        m_measured = true;
        m_insight = insight;
    }

private:
    MemoryBudget& m_budget;
    std::size_t m_charged = 0;
    bool m_measured = false;
    const InsightWhole* m_insight = nullptr;
};

// The bytes result's collections take (the log's lines and index apart).
std::size_t CollectionBytes(const CountingResult& result);

}  // namespace pomurina
