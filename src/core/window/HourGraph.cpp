#include "window/HourGraph.h"

#include <string>

namespace pomurina {
namespace {

constexpr Color kWhite{255, 255, 255};
constexpr Color kBlack{0, 0, 0};
constexpr Color kGrey{128, 128, 128};
constexpr Color kPink{255, 136, 208};

}  // namespace

void HourGraph::DrawGrid() {
    m_state = State::Grid;
    if (!m_surface) return;
    Surface& s = *m_surface;
    const int w = kGraphWidth, h = kGraphHeight;
    s.SetBrushColor(kWhite);
    s.SetPenStyle(PenStyle::Solid);
    s.Rectangle(-1, -1, w + 1, h + 1);  // the outline lies outside the surface
    s.SetPenColor(kBlack);
    s.MoveTo(kBarOrigin, 0);
    s.LineTo(kBarOrigin, h);
    s.SetPenColor(kGrey);
    s.SetPenStyle(PenStyle::Dotted);
    // The tenths of the scale, 15 + 28.2 k rounded; the 100 % line falls just outside.
    for (const int x : {43, 71, 100, 128, 156, 184, 212, 241, 269, 297}) {
        s.MoveTo(x, 0);
        s.LineTo(x, h);
    }
    s.MoveTo(0, kSeparatorY);
    s.LineTo(w, kSeparatorY);
}

void HourGraph::DrawBars(const HourCounts& counts, std::int64_t total) {
    m_bars = ComputeHourBars(counts, total);
    m_state = State::Bars;
    if (!m_surface) return;
    Surface& s = *m_surface;
    for (int hour = 0; hour < 24; ++hour) {
        const HourBar& bar = m_bars[static_cast<std::size_t>(hour)];
        const int y = bar.rowTop;
        // The hour label goes first, so the bar covers whatever of it reaches past the axis.
        if (hour % 3 == 0) s.TextOut(2, y + 1, std::to_string(hour));
        s.SetPenColor(kPink);
        s.SetBrushColor(kPink);
        const int length = static_cast<int>(bar.length);
        s.Rectangle(kBarOrigin, y + 1, kBarOrigin + length, y + 10);
        s.SetBrushColor(kWhite);
        s.TextOut(length + 20, y, std::to_string(bar.count));
    }
}

}  // namespace pomurina
