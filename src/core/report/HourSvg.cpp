#include "report/HourSvg.h"

#include <cstdio>

#include "report/HtmlText.h"

namespace pomurina {
namespace {

// Layout in SVG units: one unit is one pixel of the window's graph along the
// bars; rows are taller than the window's so that every label is readable.
constexpr int kAxisX = 30;
constexpr int kTop = 20;
constexpr int kRowPitch = 16;
constexpr int kBarHeight = 12;
constexpr int kSeparatorGap = 8;
constexpr int kLabelRoom = 140;  // right of the full scale, so no count is cut off
constexpr int kWidth = kAxisX + kFullScale + kLabelRoom;
constexpr int kHeight = kTop + 24 * kRowPitch + kSeparatorGap + 4;

// Rows from three o'clock down; midnight to two o'clock below the separator
// (the rows are written in this order too).
int RowTop(int hour) {
    const int row = HourRow(hour);
    return kTop + row * kRowPitch + (row >= HourRow(0) ? kSeparatorGap : 0);
}

std::string Format(const char* pattern, auto... values) {
    char text[256];
    std::snprintf(text, sizeof text, pattern, values...);
    return text;
}

}  // namespace

std::string PercentText(std::int64_t count, std::int64_t total) {
    const std::int64_t tenths = total > 0 ? (count * 1000 + total / 2) / total : 0;
    return Format("%lld.%lld%%", static_cast<long long>(tenths / 10),
                  static_cast<long long>(tenths % 10));
}

void AppendHourSvg(const std::array<HourBar, 24>& bars, std::int64_t total,
                   std::string_view caption, int graph, std::string& out) {
    out +=
        Format(R"(<svg class="graph" data-graph="%d" viewBox="0 0 %d %d" role="img" aria-label=")",
               graph, kWidth, kHeight);
    AppendHtml(caption, out);
    out += "\">\n";
    const int bottom = kHeight - 2;
    // The tenths of the scale, dotted, and the marks at 50 % and 100 %.
    for (int k = 1; k <= 10; ++k) {
        const double x = kAxisX + kFullScale * k / 10.0;
        out += Format(R"(<line class="tick" x1="%.1f" y1="%d" x2="%.1f" y2="%d"/>)", x, kTop - 2, x,
                      bottom);
    }
    out += Format(R"(<text class="mark" x="%d" y="14" text-anchor="middle">50%%</text>)",
                  kAxisX + kFullScale / 2);
    out += Format(R"(<text class="mark" x="%d" y="14" text-anchor="middle">100%%</text>)",
                  kAxisX + kFullScale);
    const int separatorY = RowTop(0) - kSeparatorGap / 2 - 2;
    out += Format(R"(<line class="tick" x1="0" y1="%d" x2="%d" y2="%d"/>)", separatorY,
                  kAxisX + kFullScale, separatorY);
    out += Format(R"(<line class="axis" x1="%d" y1="%d" x2="%d" y2="%d"/>)", kAxisX, kTop - 2,
                  kAxisX, bottom);
    out += '\n';
    for (int row = 0; row < 24; ++row) {
        const int hour = RowHour(row);
        const HourBar& bar = bars[static_cast<std::size_t>(hour)];
        const int y = RowTop(hour);
        out +=
            Format(R"(<text x="%d" y="%d" text-anchor="end">%d</text>)", kAxisX - 5, y + 12, hour);
        out += Format(
            R"(<rect class="bar" x="%d" y="%d" width="%lld" height="%d" data-hour="%d" data-count="%lld"/>)",
            kAxisX, y + 1, static_cast<long long>(bar.length), kBarHeight, hour,
            static_cast<long long>(bar.count));
        // The count stands on a white cell, as in the window, so the grid
        // doesn't run through it (8 units a character covers the widest digits).
        const std::string label =
            std::to_string(bar.count) + " (" + PercentText(bar.count, total) + ")";
        const long long labelX = kAxisX + bar.length + 3;
        out += Format(R"(<rect class="cell" x="%lld" y="%d" width="%zu" height="%d"/>)", labelX, y,
                      label.size() * 8 + 2, kRowPitch - 1);
        out += Format(R"(<text x="%lld" y="%d">%s</text>)", labelX + 1, y + 12, label.c_str());
        out += '\n';
    }
    out += "</svg>\n";
}

}  // namespace pomurina
