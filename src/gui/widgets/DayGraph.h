#pragma once
// The insight's daily graph: bars for hits and pages and a line for
// visitors over the whole period, or one of them (or the transfer volume)
// alone; days become weeks or months when they don't fit, the dates are
// thinned so they never overlap, the scale ends at a round number, and the
// column under the mouse is told in a tooltip.  Painted by Qt, sharp at any
// size.
#include <QWidget>
#include <vector>

#include "insight/Insight.h"
#include "window/DayBuckets.h"

class QComboBox;

namespace pomurina {

class DayGraph final : public QWidget {
public:
    // What the graph shows: all three, or one.
    enum class Shown { All, Hits, Pages, Visitors, Bytes };

    explicit DayGraph(QWidget* parent = nullptr);

    // The days to draw (they must outlive the graph's use of them); null: none.
    void SetDays(const std::vector<DayRow>* days);
    void SetShown(Shown shown);
    QComboBox* const Choice;

    QSize sizeHint() const override { return {800, 240}; }
    QSize minimumSizeHint() const override { return {300, 140}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    QRect PlotRect() const;
    DayColumns Columns() const;

    const std::vector<DayRow>* m_days = nullptr;
    Shown m_shown = Shown::All;
};

}  // namespace pomurina
