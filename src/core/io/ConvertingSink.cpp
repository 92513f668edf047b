#include "io/ConvertingSink.h"

#include <algorithm>
#include <cstring>

#include "text/LineSplit.h"

namespace pomurina {
namespace {

// A room of a converted log's bytes at a time.
constexpr std::size_t kConvertRoom = std::size_t{1} << 20;

}  // namespace

ConvertingSink::~ConvertingSink() {
    Budget().Release(m_heldCharged);
}

char* ConvertingSink::Room(std::size_t size) {
    if (m_told && !m_conversion) return m_text.Room(size);
    const std::size_t want = m_told ? std::min(size, kConvertRoom) : std::min(size, kFormatSniffBytes);
    if (m_held.size() < m_used + want) {
        // A line longer than the room makes it grow: charged, as the text is.
        Budget().ChargeGrowth(m_heldCharged, m_used + want);
        m_held.resize(m_used + want);
    }
    return m_held.data() + m_used;
}

std::size_t ConvertingSink::RoomSize() const {
    if (m_told && !m_conversion) return m_text.RoomSize();
    return m_held.size() - m_used;
}

void ConvertingSink::Commit(std::size_t size) {
    if (m_told && !m_conversion) return m_text.Commit(size);
    // Zero bytes are left out before the lines are found, as the text does.
    m_used += LeaveOutZeroBytes(m_held.data() + m_used, size);
    if (!m_told) {
        if (m_used >= kFormatSniffBytes) Tell(false);
        return;
    }
    ConvertHeld(false);
}

void ConvertingSink::End() {
    if (!m_told) Tell(true);
    if (m_conversion) ConvertHeld(true);
}

void ConvertingSink::Tell(bool ended) {
    m_told = true;
    m_format = DetectLogFormat(std::string_view(m_held.data(), std::min(m_used, kFormatSniffBytes)),
                               ended);
    if (IsConverted(m_format)) {
        m_conversion.emplace(m_format);
        ConvertHeld(ended);
        return;
    }
    m_text.Append(std::string_view(m_held.data(), m_used));
    std::string().swap(m_held);
    m_used = 0;
}

void ConvertingSink::ConvertHeld(bool ended) {
    const char* const begin = m_held.data();
    const char* const end = begin + m_used;
    const char* at = begin;
    m_converted.clear();
    while (at < end) {
        // The first LF, or a CR before it (CR LF, or a CR alone).
        const auto* newline = static_cast<const char*>(
            std::memchr(at, '\n', static_cast<std::size_t>(end - at)));
        if (!newline) newline = end;
        const auto* cr = static_cast<const char*>(
            std::memchr(at, '\r', static_cast<std::size_t>(newline - at)));
        const char* lineEnd = cr ? cr : newline;
        // A CR at the end may be the first half of a CR LF.
        if (!ended && (lineEnd == end || (*lineEnd == '\r' && lineEnd + 1 == end))) break;
        const std::size_t before = m_converted.size();
        m_conversion->Convert(std::string_view(at, static_cast<std::size_t>(lineEnd - at)),
                              m_converted);
        if (m_keep) {
            if (m_converted.size() != before) m_keep->lineOf.push_back(m_originalLine);
            ++m_originalLine;
        }
        if (lineEnd < end && *lineEnd == '\r' && lineEnd + 1 < end && lineEnd[1] == '\n') ++lineEnd;
        at = lineEnd < end ? lineEnd + 1 : end;
    }
    if (!m_converted.empty()) m_text.Append(m_converted);
    if (m_keep) {
        m_keep->bytes.append(begin, at);
        Budget().ChargeGrowth(m_charged, m_keep->bytes.capacity() +
                                             m_keep->lineOf.capacity() * sizeof(std::uint64_t));
    }
    const auto left = static_cast<std::size_t>(end - at);
    if (left > 0 && at != begin) std::memmove(m_held.data(), at, left);
    m_used = left;
}

}  // namespace pomurina
