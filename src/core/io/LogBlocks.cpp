#include "io/LogBlocks.h"

#include <algorithm>
#include <cstring>

#include "text/LineSplit.h"
#include "text/TextLines.h"

namespace pomurina {

LogBlocks::LogBlocks(MemoryBudget& budget, std::size_t blockBytes, std::size_t rooms, Handed handed)
    : m_budget(budget), m_block(std::max<std::size_t>(blockBytes, 1)), m_handed(std::move(handed)) {
    m_bytes = std::make_shared<ByteBuffer>(NewRoom(m_block, 0));
    for (std::size_t k = 1; k < std::max<std::size_t>(rooms, 2); ++k)
        m_free.push_back(std::make_shared<ByteBuffer>(NewRoom(m_block, 0)));
}

LogBlocks::~LogBlocks() {
    m_budget.Release(m_charged);
}

ByteBuffer LogBlocks::NewRoom(std::size_t size, std::size_t old) {
    const std::lock_guard lock(m_mutex);
    m_budget.ChargeGrowth(m_charged, m_charged + size);
    ByteBuffer room(size);
    m_budget.Release(old);
    m_charged -= old;
    return room;
}

char* LogBlocks::Room(std::size_t) {
    {
        const std::lock_guard lock(m_mutex);
        if (m_stopped) throw Stopped();
    }
    if (m_length >= m_block) HandOn();
    if (m_length == m_bytes->size()) {
        // A line longer than the room: it grows until the line fits.
        ByteBuffer grown = NewRoom(2 * m_bytes->size(), m_bytes->size());
        std::memcpy(grown.data(), m_bytes->data(), m_length);
        *m_bytes = std::move(grown);
    }
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

std::shared_ptr<ByteBuffer> LogBlocks::FreeRoom(std::size_t size) {
    std::shared_ptr<ByteBuffer> room;
    {
        std::unique_lock lock(m_mutex);
        m_givenBack.wait(lock, [&] { return m_stopped || !m_free.empty(); });
        if (m_stopped) throw Stopped();
        room = std::move(m_free.back());
        m_free.pop_back();
    }
    if (room->size() < size) *room = NewRoom(size, room->size());
    return room;
}

void LogBlocks::HandOn() {
    const std::size_t cut = TextLines::WholeLinesEnd(std::string_view(m_bytes->data(), m_length));
    if (cut == 0) return;
    std::shared_ptr<ByteBuffer> next = FreeRoom(std::max(m_block, m_length - cut));
    std::memcpy(next->data(), m_bytes->data() + cut, m_length - cut);
    m_length -= cut;
    m_handedBytes += cut;
    std::swap(next, m_bytes);
    m_handed(next, cut);
}

void LogBlocks::Finish() {
    if (m_length == 0) return;
    const std::size_t length = m_length;
    m_length = 0;
    m_handedBytes += length;
    m_handed(m_bytes, length);
}

void LogBlocks::GiveBack(std::shared_ptr<ByteBuffer> bytes) {
    const std::lock_guard lock(m_mutex);
    m_free.push_back(std::move(bytes));
    m_givenBack.notify_one();
}

void LogBlocks::Stop() {
    const std::lock_guard lock(m_mutex);
    m_stopped = true;
    m_givenBack.notify_all();
}

}  // namespace pomurina
