#include "io/LogText.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "text/LineSplit.h"

namespace pomurina {
namespace {

// A growing text starts this large and doubles.
constexpr std::size_t kFirstGrowth = std::size_t{64} << 20;

}  // namespace

LogText::LogText(std::size_t capacity) : m_capacity(capacity) {
    try {
        m_bytes = std::make_shared<ByteBuffer>(ByteBuffer::Reserved(capacity));
    } catch (const std::bad_alloc&) {
        // No address space set aside for so much (the system counts every
        // byte of it): the text grows as it is read instead.
        m_fixed = false;
        m_bytes = std::make_shared<ByteBuffer>(std::min(capacity, kFirstGrowth));
    }
    m_bytes->Shrink(std::min(m_bytes->size(), capacity));
}

char* LogText::Room(std::size_t size) {
    if (m_stopped) throw Stopped();
    if (RoomSize() < size && !m_fixed && m_bytes->size() < m_capacity) {
        ByteBuffer grown(std::min(std::max(m_length + size, m_bytes->size() * 2), m_capacity));
        std::memcpy(grown.data(), m_bytes->data(), m_length);
        *m_bytes = std::move(grown);
    }
    if (RoomSize() == 0) throw std::bad_alloc();
    return m_bytes->data() + m_length;
}

void LogText::Commit(std::size_t size) {
    char* const begin = m_bytes->data() + m_length;
    char* const end = begin + LeaveOutZeroBytes(begin, size);
    m_length += static_cast<std::size_t>(end - begin);
    if (end != begin) m_last = end[-1];
    m_published.store(m_length, std::memory_order_release);
    if (m_arrived && end != begin) m_arrived();
}

void LogText::Append(std::string_view bytes) {
    while (!bytes.empty()) {
        char* room = Room(bytes.size());
        const std::size_t n = std::min(bytes.size(), RoomSize());
        std::memcpy(room, bytes.data(), n);
        Commit(n);
        bytes.remove_prefix(n);
    }
}

void LogText::BeginNextLog() {
    if (m_last != '\0' && m_last != '\r' && m_last != '\n') Append("\n");
}

}  // namespace pomurina
