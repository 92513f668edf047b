#include "io/LogBlocks.h"

#include <algorithm>
#include <cstring>

#include "text/LineSplit.h"
#include "text/TextLines.h"

namespace pomurina {

LogBlocks::LogBlocks(MemoryBudget& budget, std::size_t blockBytes, Handed handed)
    : m_budget(budget), m_block(std::max<std::size_t>(blockBytes, 1)), m_handed(std::move(handed)) {
    m_budget.ChargeGrowth(m_charged, m_block);
    m_bytes = std::make_shared<ByteBuffer>(m_block);
}

LogBlocks::~LogBlocks() {
    m_budget.Release(m_charged);
}

char* LogBlocks::Room(std::size_t) {
    if (m_length >= m_block) HandOn();
    if (m_length == m_bytes->size()) Grow();
    return m_bytes->data() + m_length;
}

void LogBlocks::Commit(std::size_t size) {
    const std::size_t kept = LeaveOutZeroBytes(m_bytes->data() + m_length, size);
    if (kept == 0) return;
    m_length += kept;
    m_last = m_bytes->data()[m_length - 1];
}

void LogBlocks::BeginNextLog() {
    if (m_last != '\0' && m_last != '\r' && m_last != '\n') Append("\n");
}

void LogBlocks::HandOn() {
    const std::size_t cut = TextLines::WholeLinesEnd(std::string_view(m_bytes->data(), m_length));
    if (cut == 0) return;
    m_handed(m_bytes, cut);
    std::memmove(m_bytes->data(), m_bytes->data() + cut, m_length - cut);
    m_length -= cut;
}

void LogBlocks::Grow() {
    // A line longer than the room: it grows until the line fits.
    // The new room is charged beside the old one until that is let go.
    const std::size_t old = m_bytes->size(), size = 2 * old;
    m_budget.ChargeGrowth(m_charged, size + old);
    ByteBuffer grown(size);
    std::memcpy(grown.data(), m_bytes->data(), m_length);
    *m_bytes = std::move(grown);
    m_budget.Release(old);
    m_charged -= old;
}

void LogBlocks::Finish() {
    if (m_length == 0) return;
    m_handed(m_bytes, m_length);
    m_length = 0;
}

}  // namespace pomurina
