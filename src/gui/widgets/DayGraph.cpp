#include "widgets/DayGraph.h"

#include <QComboBox>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QToolTip>

#include "SjisQt.h"
#include "WindowKit.h"
#include "insight/CalendarDay.h"
#include "report/DaySvg.h"

namespace pomurina {
namespace {

constexpr int kMinColumn = 4;  // pixels a day needs before weeks take over
const QColor kHitsColor(91, 140, 214);
const QColor kPagesColor(236, 153, 60);
const QColor kVisitorsColor(60, 160, 90);

// A column's date; the year is written where it changes (and on the first).
QString DateLabel(std::int32_t day, DaySpan span, bool withYear) {
    const CivilDate date = DateOfDay(day);
    if (span == DaySpan::Month) return QStringLiteral("%1/%2").arg(date.year).arg(date.month);
    if (withYear) return QStringLiteral("%1/%2/%3").arg(date.year).arg(date.month).arg(date.day);
    return QStringLiteral("%1/%2").arg(date.month).arg(date.day);
}

QString Number(std::int64_t value) {
    return QLocale(QLocale::Japanese, QLocale::Japan).toString(static_cast<qlonglong>(value));
}

}  // namespace

DayGraph::DayGraph(QWidget* parent) : QWidget(parent), Choice(new QComboBox(this)) {
    setObjectName(QStringLiteral("DayGraph"));
    setMouseTracking(true);
    for (const char* caption : {"ヒット・ページ・訪問者", "ヒット", "ページ", "訪問者", "転送量"})
        Choice->addItem(FromUtf8(caption));
    Choice->move(4, 2);
    Choice->adjustSize();
    connect(Choice, &QComboBox::currentIndexChanged, this,
            [this](int index) { SetShown(static_cast<Shown>(index)); });
}

void DayGraph::SetDays(const std::vector<DayRow>* days) {
    m_days = days;
    update();
}

void DayGraph::SetShown(Shown shown) {
    m_shown = shown;
    if (Choice->currentIndex() != static_cast<int>(shown))
        Choice->setCurrentIndex(static_cast<int>(shown));
    update();
}

QRect DayGraph::PlotRect() const {
    const int left = fontMetrics().horizontalAdvance(QStringLiteral("000,000,000")) + 8;
    const int top = Choice->height() + 10;
    const int bottom = fontMetrics().height() + 8;
    return QRect(left, top, std::max(width() - left - 12, 10),
                 std::max(height() - top - bottom, 10));
}

DayColumns DayGraph::Columns() const {
    if (!m_days) return {};
    return GroupDays(*m_days, PlotRect().width(), kMinColumn);
}

void DayGraph::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().base());
    const DayColumns columns = Columns();
    const QRect plot = PlotRect();
    p.setPen(palette().text().color());
    if (columns.buckets.empty()) {
        p.drawText(plot, Qt::AlignCenter, FromUtf8("日付のある行がありません"));
        return;
    }
    const bool all = m_shown == Shown::All;
    std::int64_t largest = 0;
    for (const DayBucket& b : columns.buckets) {
        if (all)
            largest = std::max({largest, b.hits, b.pages, b.visitors});
        else if (m_shown == Shown::Hits)
            largest = std::max(largest, b.hits);
        else if (m_shown == Shown::Pages)
            largest = std::max(largest, b.pages);
        else if (m_shown == Shown::Visitors)
            largest = std::max(largest, b.visitors);
        else
            largest = std::max(largest, b.bytes);
    }
    const long long scale = RoundScale(largest);
    const auto y = [&](std::int64_t value) {
        return plot.bottom() -
               static_cast<double>(value) / static_cast<double>(scale) * plot.height();
    };
    // The scale in fifths (in ones below 5).
    const int steps = static_cast<int>(std::min(scale, 5LL));
    for (int k = 0; k <= steps; ++k) {
        const long long value = scale * k / steps;
        const double at = y(value);
        p.setPen(k == 0 ? palette().text().color() : palette().mid().color());
        p.drawLine(QPointF(plot.left(), at), QPointF(plot.right(), at));
        p.setPen(palette().text().color());
        p.drawText(QRectF(0, at - 10, plot.left() - 6, 20), Qt::AlignRight | Qt::AlignVCenter,
                   Number(value));
    }
    const double column =
        static_cast<double>(plot.width()) / static_cast<double>(columns.buckets.size());
    const auto left = [&](std::size_t k) { return plot.left() + column * static_cast<double>(k); };
    const double gap = column >= 6 ? column * 0.15 : 0;
    const double w = std::min(column - gap, 64.0);  // a few days' bars stay bars, not walls
    QPainterPath visitors;
    for (std::size_t k = 0; k < columns.buckets.size(); ++k) {
        const DayBucket& b = columns.buckets[k];
        const double x = left(k) + (column - w) / 2;
        if (all || m_shown == Shown::Hits)
            p.fillRect(QRectF(x, y(b.hits), all ? w / 2 : w, plot.bottom() - y(b.hits)),
                       kHitsColor);
        if (all || m_shown == Shown::Pages)
            p.fillRect(QRectF(all ? x + w / 2 : x, y(b.pages), all ? w / 2 : w,
                              plot.bottom() - y(b.pages)),
                       kPagesColor);
        if (m_shown == Shown::Bytes)
            p.fillRect(QRectF(x, y(b.bytes), w, plot.bottom() - y(b.bytes)), kHitsColor);
        const QPointF point(left(k) + column / 2, y(b.visitors));
        if (k == 0)
            visitors.moveTo(point);
        else
            visitors.lineTo(point);
    }
    if (all || m_shown == Shown::Visitors) {
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(kVisitorsColor, 2));
        p.drawPath(visitors);
        // Few columns: each day's point is marked, so a single day shows one.
        if (columns.buckets.size() <= 62)
            for (std::size_t k = 0; k < columns.buckets.size(); ++k)
                p.drawEllipse(QPointF(left(k) + column / 2, y(columns.buckets[k].visitors)), 2.5,
                              2.5);
        p.setRenderHint(QPainter::Antialiasing, false);
    }
    // The dates, thinned so none overlaps the next.
    p.setPen(palette().text().color());
    const bool years = DateOfDay(columns.buckets.front().firstDay).year !=
                       DateOfDay(columns.buckets.back().firstDay).year;
    const int labelWidth = fontMetrics().horizontalAdvance(years ? QStringLiteral("0000/00/00")
                                                                 : QStringLiteral("00/00")) +
                           10;
    const int stride = LabelStride(column, labelWidth);
    int shownYear = 0;
    for (std::size_t k = 0; k < columns.buckets.size(); k += static_cast<std::size_t>(stride)) {
        const std::int32_t day = columns.buckets[k].firstDay;
        const int year = DateOfDay(day).year;
        const double center = left(k) + column / 2;
        p.drawText(QRectF(center - labelWidth / 2.0, plot.bottom() + 2, labelWidth,
                          fontMetrics().height() + 4),
                   Qt::AlignHCenter | Qt::AlignTop,
                   DateLabel(day, columns.span, years && year != shownYear));
        shownYear = year;
    }
    // The legend, right of the choice.
    int x = Choice->geometry().right() + 16;
    const std::pair<const char*, QColor> legend[] = {
        {"ヒット", kHitsColor}, {"ページ", kPagesColor}, {"訪問者", kVisitorsColor}};
    if (all)
        for (const auto& [caption, color] : legend) {
            p.fillRect(QRect(x, Choice->y() + 6, 10, 10), color);
            p.drawText(QPoint(x + 14, Choice->y() + 16), FromUtf8(caption));
            x += 14 + fontMetrics().horizontalAdvance(FromUtf8(caption)) + 16;
        }
    if (columns.span != DaySpan::Day)
        p.drawText(QPoint(x, Choice->y() + 16),
                   FromUtf8(columns.span == DaySpan::Week ? "（週ごと）" : "（月ごと）"));
}

void DayGraph::mouseMoveEvent(QMouseEvent* event) {
    const DayColumns columns = Columns();
    const QRect plot = PlotRect();
    const double x = event->position().x() - plot.left();
    if (columns.buckets.empty() || x < 0 || x >= plot.width()) {
        QToolTip::hideText();
        return;
    }
    const auto k =
        static_cast<std::size_t>(x * static_cast<double>(columns.buckets.size()) / plot.width());
    const DayBucket& b = columns.buckets[std::min(k, columns.buckets.size() - 1)];
    QString text = QString::fromStdString(DayText(b.firstDay));
    if (columns.span != DaySpan::Day)
        text += FromUtf8(columns.span == DaySpan::Week ? " からの週" : " からの月");
    text += FromUtf8("\nヒット: ") + Number(b.hits) + FromUtf8("\nページ: ") + Number(b.pages) +
            FromUtf8("\n訪問者: ") + Number(b.visitors) + FromUtf8("\n転送量: ") + Number(b.bytes) +
            FromUtf8(" バイト");
    QToolTip::showText(event->globalPosition().toPoint(), PlainToolTip(text), this);
}

}  // namespace pomurina
