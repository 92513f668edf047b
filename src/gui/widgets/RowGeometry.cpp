#include "widgets/RowGeometry.h"

#include <algorithm>
#include <cmath>

#include "SjisQt.h"
#include "search/TextFinder.h"

namespace pomurina {
namespace {

// Far beyond any screen, yet far from overflowing a row's pixel arithmetic.
constexpr double kWidestRow = 1 << 30;
// A byte never draws narrower than this (a thin letter of a small face is
// about 3 px): a slice holds enough bytes to cover the pixels asked for.
constexpr int kNarrowestPerByte = 2;
// A byte below 0x40 is never the second byte of a double-byte character:
// the next byte starts one.  Looked for this far back before scanning from
// the start of the estimated part.
constexpr std::size_t kResyncBytes = 4096;

}  // namespace

RowGeometry::RowGeometry(const QFontMetrics& metrics, std::string_view line)
    : m_metrics(metrics), m_line(line) {
    m_measured = line.size() <= kMeasuredBytes ? line.size() : BoundaryFrom(0, kMeasuredBytes);
    m_measuredWidth = Advance(0, m_measured);
    if (Estimated() && m_measured > 0)
        m_perByte = static_cast<double>(m_measuredWidth) / static_cast<double>(m_measured);
}

int RowGeometry::Advance(std::size_t first, std::size_t end) const {
    return m_metrics.horizontalAdvance(FromSjis(m_line.substr(first, end - first)));
}

std::size_t RowGeometry::BoundaryFrom(std::size_t from, std::size_t byte) const {
    byte = std::min(byte, m_line.size());
    while (from < byte) from += CharacterLength(m_line, from);
    return from;
}

std::size_t RowGeometry::BoundaryBefore(std::size_t byte) const {
    byte = std::min(byte, m_line.size());
    if (byte <= m_measured) {
        std::size_t at = 0;
        for (std::size_t next = 0; next <= byte && next < m_line.size();
             next += CharacterLength(m_line, next))
            at = next;
        return byte == m_line.size() ? byte : at;
    }
    std::size_t start = m_measured;
    for (std::size_t back = byte; back > m_measured && byte - back < kResyncBytes; --back) {
        if (static_cast<unsigned char>(m_line[back - 1]) < 0x40) {
            start = back;
            break;
        }
    }
    std::size_t at = start;
    for (std::size_t next = start; next <= byte && next < m_line.size();
         next += CharacterLength(m_line, next))
        at = next;
    return byte == m_line.size() ? byte : at;
}

int RowGeometry::X(std::size_t byte) const {
    byte = std::min(byte, m_line.size());
    if (byte <= m_measured) return Advance(0, BoundaryBefore(byte));
    const double x =
        m_measuredWidth + std::ceil(static_cast<double>(byte - m_measured) * m_perByte);
    return static_cast<int>(std::min(x, kWidestRow));
}

RowGeometry::Slice RowGeometry::Visible(int left, int right) const {
    if (!Estimated()) return {0, m_line.size(), 0};
    Slice slice;
    if (left > m_measuredWidth && m_perByte > 0) {
        const double beyond = static_cast<double>(left - m_measuredWidth) / m_perByte;
        slice.first = BoundaryBefore(m_measured + static_cast<std::size_t>(beyond));
    }
    slice.x = X(slice.first);
    const auto bytes = static_cast<std::size_t>(std::max(right - slice.x, 0) / kNarrowestPerByte);
    slice.end = BoundaryFrom(slice.first, slice.first + bytes + 16);
    // Glyphs wider than the average would carry the line's end past the
    // row's width: the last slice ends at the width instead.
    if (slice.end == m_line.size())
        slice.x = std::min(slice.x, Width() - Advance(slice.first, slice.end));
    return slice;
}

}  // namespace pomurina
