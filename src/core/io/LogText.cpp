#include "io/LogText.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "text/LineSplit.h"

namespace pomurina {
namespace {

// A growing text starts this large and doubles.
constexpr std::size_t kFirstGrowth = std::size_t{64} << 20;
// A fixed text is charged for this much room at most at a time, so that it
// never takes from the budget much more than it holds.
constexpr std::size_t kChargeStep = std::size_t{1} << 20;

bool InLine(char last) {
    return last != '\0' && last != '\r' && last != '\n';
}

}  // namespace

LogText::LogText(MemoryBudget& budget)
    : m_budget(budget), m_capacity(budget.Limit()), m_fixed(!budget.SetAsideCounts()) {
    if (m_fixed) {
        try {
            m_bytes = std::make_shared<ByteBuffer>(ByteBuffer::Reserved(m_capacity));
        } catch (const std::bad_alloc&) {
            // No address space set aside for so much: the text grows as it
            // is read instead.
            m_fixed = false;
        }
    }
    if (!m_fixed) {
        const std::size_t first = std::min(m_capacity, kFirstGrowth);
        m_budget.Charge(first);
        m_bytes = std::make_shared<ByteBuffer>(first);
    }
    m_bytes->Shrink(std::min(m_bytes->size(), m_capacity));
}

char* LogText::Room(std::size_t size) {
    if (m_stopped) throw Stopped();
    m_inScratch = m_keepNoMore.load(std::memory_order_relaxed);
    if (m_inScratch) {
        if (!m_scratch) m_scratch.reset(new char[kScratch]);
        return m_scratch.get();
    }
    if (!m_fixed) {
        const std::size_t wanted = m_length + std::max<std::size_t>(size, 1);
        if (m_bytes->size() < wanted) Grow(wanted);
        return m_bytes->data() + m_length;
    }
    const std::size_t wanted = m_length + std::clamp<std::size_t>(size, 1, kChargeStep);
    if (m_charged < wanted) {
        // As much room as the budget has left; none at all is the shortage.
        m_charged += m_budget.ChargeUpTo(wanted - m_charged);
        if (m_charged == m_length) {
            m_budget.Charge(wanted - m_length);
            m_charged = wanted;
        }
    }
    return m_bytes->data() + m_length;
}

void LogText::Grow(std::size_t wanted) {
    // The new block is charged beside the old one until that is let go.
    const std::size_t old = m_bytes->size();
    std::size_t size = m_budget.ChargeUpTo(std::max(wanted, old * 2));
    if (size <= m_length) {
        m_budget.Release(size);
        m_budget.Charge(wanted);
        size = wanted;
    }
    ByteBuffer grown(size);
    std::memcpy(grown.data(), m_bytes->data(), m_length);
    *m_bytes = std::move(grown);
    m_budget.Release(old);
}

void LogText::Commit(std::size_t size) {
    char* const begin = m_inScratch ? m_scratch.get() : m_bytes->data() + m_length;
    const std::size_t kept = LeaveOutZeroBytes(begin, size);
    if (kept == 0) return;
    if (m_keepNoMore.load(std::memory_order_relaxed)) {
        // Counted, and the room used again (in the text's own room when
        // the run failed after the room was given).
        m_leftOut = true;
        m_endsLeftOut += CountLineEnds(std::string_view(begin, kept), m_last);
        m_last = begin[kept - 1];
        return;
    }
    m_length += kept;
    m_last = begin[kept - 1];
    m_published.store(m_length, std::memory_order_release);
    if (m_arrived) m_arrived();
}

void LogText::BeginNextLog() {
    if (InLine(m_last)) Append("\n");
}

std::size_t LogText::LinesAfter(std::size_t from) const {
    // No line end can be half in the kept text and half after from: a line
    // begins there.
    const std::string_view kept(m_bytes->data() + from, m_length - from);
    const bool last = (!kept.empty() || m_leftOut) && InLine(m_last);  // a line without its end
    return CountLineEnds(kept, '\0') + m_endsLeftOut + last;
}

}  // namespace pomurina
