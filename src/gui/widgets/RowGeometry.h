#pragma once
// Where the characters of a pane row lie sideways.  A line of up to
// kMeasuredBytes is measured whole, exactly as Qt lays it out.  A longer one
// (a log line of megabytes) is measured in its first kMeasuredBytes only and
// the rest is placed at that part's average advance per byte: Qt shapes a
// whole line to measure it, about 2 s per megabyte.  Such a line is drawn a
// slice at a time, the slice under the pixels in sight, and its end always
// lies within the row's width, so sideways scrolling reaches it.
#include <QFontMetrics>
#include <cstddef>
#include <string_view>

namespace pomurina {

class RowGeometry {
public:
    static constexpr std::size_t kMeasuredBytes = 4096;

    // line: Shift-JIS bytes; it must outlive the geometry.
    RowGeometry(const QFontMetrics& metrics, std::string_view line);

    // Whether the line is measured only in part.
    bool Estimated() const { return m_measured < m_line.size(); }
    // The pixel width of the whole line.
    int Width() const { return X(m_line.size()); }
    // The x of byte (taken at the character boundary at or before it).
    int X(std::size_t byte) const;

    // The bytes to draw for the pixels [left, right) of the row's text:
    // [first, end) on character boundaries, drawn from x.
    struct Slice {
        std::size_t first = 0;
        std::size_t end = 0;
        int x = 0;
    };
    Slice Visible(int left, int right) const;

private:
    // The character boundary at or before byte.
    std::size_t BoundaryBefore(std::size_t byte) const;
    // The first character boundary at or after byte, scanning from boundary from.
    std::size_t BoundaryFrom(std::size_t from, std::size_t byte) const;
    int Advance(std::size_t first, std::size_t end) const;

    QFontMetrics m_metrics;
    std::string_view m_line;
    std::size_t m_measured = 0;  // the whole line, or a part ending on a boundary
    int m_measuredWidth = 0;
    double m_perByte = 0;  // beyond the measured part
};

}  // namespace pomurina
