#include "widgets/WrappingTabBar.h"

#include <QMouseEvent>
#include <QStyleOptionTab>
#include <QStylePainter>
#include <algorithm>

namespace pomurina {

WrappingTabBar::WrappingTabBar(QWidget* parent) : QTabBar(parent) {
    setUsesScrollButtons(false);
    setElideMode(Qt::ElideNone);
    setExpanding(false);
    setDrawBase(false);
    // Hover follows the one-row places the base class keeps; this bar draws its own.
    setAttribute(Qt::WA_Hover, false);
}

int WrappingTabBar::LayoutWidth() const {
    const QWidget* control = parentWidget();
    return control ? control->width() : width();
}

int WrappingTabBar::RowHeight() const {
    int height = 0;
    for (int i = 0; i < count(); ++i) height = std::max(height, tabSizeHint(i).height());
    return height;
}

std::vector<std::vector<int>> WrappingTabBar::Rows(int width) const {
    std::vector<std::vector<int>> rows;
    int used = 0;
    for (int i = 0; i < count(); ++i) {
        const int w = tabSizeHint(i).width();
        if (rows.empty() || (used + w > width && !rows.back().empty())) {
            rows.emplace_back();
            used = 0;
        }
        rows.back().push_back(i);
        used += w;
    }
    return rows;
}

std::vector<QRect> WrappingTabBar::Layout(int width) const {
    std::vector<QRect> rects(static_cast<std::size_t>(count()));
    const auto rows = Rows(width);
    const int n = static_cast<int>(rows.size());
    if (n == 0) return rects;
    int chosen = 0;
    for (int r = 0; r < n; ++r)
        if (const auto& row = rows[static_cast<std::size_t>(r)];
            std::find(row.begin(), row.end(), currentIndex()) != row.end())
            chosen = r;
    const bool onTop = shape() == QTabBar::RoundedNorth || shape() == QTabBar::TriangularNorth;
    const int height = RowHeight();
    for (int k = 0; k < n; ++k) {
        // Tabs on top: the chosen row comes last, just above the page; at the
        // bottom it comes first, just below it.  The others keep their cycle.
        const int r = onTop ? (chosen + 1 + k) % n : (chosen + k) % n;
        const auto& row = rows[static_cast<std::size_t>(r)];
        int natural = 0;
        for (const int i : row) natural += tabSizeHint(i).width();
        const int spare = n > 1 ? std::max(0, width - natural) : 0;
        int x = 0;
        for (std::size_t j = 0; j < row.size(); ++j) {
            const int share = spare / static_cast<int>(row.size()) +
                              (static_cast<int>(j) < spare % static_cast<int>(row.size()) ? 1 : 0);
            const int w = tabSizeHint(row[j]).width() + share;
            rects[static_cast<std::size_t>(row[j])] = QRect(x, k * height, w, height);
            x += w;
        }
    }
    return rects;
}

QRect WrappingTabBar::WrappedTabRect(int index) const {
    if (index < 0 || index >= count()) return {};
    return Layout(LayoutWidth())[static_cast<std::size_t>(index)];
}

int WrappingTabBar::RowCount() const {
    return static_cast<int>(Rows(LayoutWidth()).size());
}

QSize WrappingTabBar::sizeHint() const {
    const int width = LayoutWidth();
    return {width, static_cast<int>(Rows(width).size()) * RowHeight()};
}

QSize WrappingTabBar::minimumSizeHint() const {
    return {0, sizeHint().height()};
}

void WrappingTabBar::tabLayoutChange() {
    QTabBar::tabLayoutChange();
    updateGeometry();
}

void WrappingTabBar::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    const std::vector<QRect> rects = Layout(LayoutWidth());
    const auto rows = Rows(LayoutWidth());
    auto drawTab = [&](int index) {
        QStyleOptionTab option;
        initStyleOption(&option, index);
        option.rect = rects[static_cast<std::size_t>(index)];
        // Position within its own row, for the style's edges.
        for (const auto& row : rows) {
            const auto at = std::find(row.begin(), row.end(), index);
            if (at == row.end()) continue;
            const bool first = at == row.begin(), last = at + 1 == row.end();
            option.position = first && last ? QStyleOptionTab::OnlyOneTab
                              : first       ? QStyleOptionTab::Beginning
                              : last        ? QStyleOptionTab::End
                                            : QStyleOptionTab::Middle;
            option.selectedPosition = QStyleOptionTab::NotAdjacent;
            if (!first && *(at - 1) == currentIndex())
                option.selectedPosition = QStyleOptionTab::PreviousIsSelected;
            if (!last && *(at + 1) == currentIndex())
                option.selectedPosition = QStyleOptionTab::NextIsSelected;
        }
        painter.drawControl(QStyle::CE_TabBarTab, option);
    };
    for (int i = 0; i < count(); ++i)
        if (i != currentIndex()) drawTab(i);
    // The chosen tab last: it overlaps its neighbours.
    if (currentIndex() >= 0) drawTab(currentIndex());
}

void WrappingTabBar::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    const std::vector<QRect> rects = Layout(LayoutWidth());
    for (int i = 0; i < count(); ++i) {
        if (rects[static_cast<std::size_t>(i)].contains(event->position().toPoint()) &&
            isTabEnabled(i)) {
            setCurrentIndex(i);
            update();
            break;
        }
    }
    event->accept();
}

// The base class would drag tabs or track presses by its one-row places.
void WrappingTabBar::mouseMoveEvent(QMouseEvent* event) {
    event->accept();
}
void WrappingTabBar::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
}

}  // namespace pomurina
