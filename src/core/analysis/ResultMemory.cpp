#include "analysis/ResultMemory.h"

namespace pomurina {
namespace {

// The insight's tables keep a small record for a page seen and otherwise
// grow with the distinct hosts, pages and agents: a few tens of bytes a
// line at most.
constexpr std::size_t kInsightLineBytes = 32;

}  // namespace

std::size_t CollectionBytes(const CountingResult& result) {
    std::size_t bytes =
        result.PartSizes.capacity() * sizeof(double) + result.HostExtract->Footprint();
    for (const auto list : CountingResult::kEntryLists) bytes += (result.*list)->Footprint();
    for (const auto list :
         {&CountingResult::HostNames, &CountingResult::GetFiles, &CountingResult::PostFiles})
        bytes += (result.*list).Footprint();
    return bytes;
}

void ResultMemory::Follow(const CountingResult& result) {
    const auto lines = static_cast<std::size_t>(result.LineCount);
    const std::size_t analyses =
        !m_measured ? lines * kInsightLineBytes : m_insight ? m_insight->Footprint() : 0;
    m_budget.ChargeGrowth(m_charged, CollectionBytes(result) + analyses);
}

}  // namespace pomurina
