#include "report/DaySvg.h"

#include <algorithm>
#include <cstdio>

#include "insight/CalendarDay.h"
#include "report/HtmlText.h"

namespace pomurina {
namespace {

// Layout in SVG units.
constexpr int kLeft = 64;   // room for the scale's numbers
constexpr int kTop = 28;    // room for the legend
constexpr int kPlot = 200;  // the height of the full scale
constexpr int kBar = 6;     // one bar's width
constexpr int kDayWidth = 3 * kBar + 6;
constexpr int kBottom = 20;  // room for the dates
constexpr int kRight = 12;
constexpr int kLabelWidth = 40;  // what a date "12/31" needs
constexpr int kMinWidth = 320;   // what the legend needs

std::string Format(const char* pattern, auto... values) {
    char text[256];
    std::snprintf(text, sizeof text, pattern, values...);
    return text;
}

struct Series {
    const char* cssClass;
    const char* caption;
    std::int64_t DayRow::*count;
};
constexpr Series kSeries[] = {{"hits", "ヒット", &DayRow::hits},
                              {"pages", "ページ", &DayRow::pages},
                              {"visitors", "訪問者", &DayRow::visitors}};

}  // namespace

long long RoundScale(long long largest) {
    if (largest > 1'000'000'000'000'000'000LL) return largest;
    for (long long power = 1;; power *= 10)
        for (const long long step : {1LL, 2LL, 5LL})
            if (step * power >= largest) return step * power;
}

void AppendDaySvg(const std::vector<DayRow>& days, std::string& out) {
    const auto count = static_cast<int>(days.size());
    const int width = std::max(kLeft + count * kDayWidth + kRight, kMinWidth);
    const int height = kTop + kPlot + kBottom;
    const int base = kTop + kPlot;
    long long largest = 0;
    for (const DayRow& day : days)
        for (const Series& series : kSeries)
            largest = std::max<long long>(largest, day.*series.count);
    const long long scale = RoundScale(largest);

    out += Format(
        R"(<svg class="graph days" viewBox="0 0 %d %d" role="img" aria-label="日別のヒット・ページ・訪問者">)",
        width, height);
    out += '\n';
    int legendX = kLeft;
    for (const Series& series : kSeries) {
        out += Format(R"(<rect class="%s" x="%d" y="6" width="10" height="10"/>)", series.cssClass,
                      legendX);
        out += Format(R"(<text x="%d" y="15">%s</text>)", legendX + 14, series.caption);
        legendX += 80;
    }
    out += '\n';
    // The scale in fifths (in ones below 5), each with its number.
    const int steps = static_cast<int>(std::min(scale, 5LL));
    for (int k = 0; k <= steps; ++k) {
        const int y = base - kPlot * k / steps;
        out += Format(R"(<line class="%s" x1="%d" y1="%d" x2="%d" y2="%d"/>)",
                      k == 0 ? "axis" : "tick", kLeft, y, width - kRight, y);
        out += Format(R"(<text x="%d" y="%d" text-anchor="end">%lld</text>)", kLeft - 4, y + 4,
                      scale * k / steps);
    }
    out += '\n';
    // A date under every day when they fit, under every few days otherwise.
    const int every = (kLabelWidth + kDayWidth - 1) / kDayWidth;
    for (int d = 0; d < count; ++d) {
        const DayRow& day = days[static_cast<std::size_t>(d)];
        const std::string date = DayText(day.day);
        const int x = kLeft + d * kDayWidth + 3;
        for (std::size_t s = 0; s < std::size(kSeries); ++s) {
            const long long value = day.*kSeries[s].count;
            const long long length = value * kPlot / scale;
            out += Format(
                R"(<rect class="%s" x="%d" y="%lld" width="%d" height="%lld" data-day="%s" data-count="%lld"/>)",
                kSeries[s].cssClass, x + static_cast<int>(s) * kBar, base - length, kBar, length,
                date.c_str(), value);
        }
        if (d % every == 0) {
            std::string label = date.substr(5);  // "12/31"
            label[2] = '/';
            out += Format(R"(<text class="date" x="%d" y="%d" text-anchor="middle">%s</text>)",
                          x + 3 * kBar / 2, height - 5, label.c_str());
        }
        out += '\n';
    }
    out += "</svg>\n";
}

}  // namespace pomurina
