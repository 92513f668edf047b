#include "widgets/MatchDelegate.h"

#include <QApplication>
#include <QPainter>

namespace pomurina {
namespace {

// The marker: dark text on amber, readable on a selected row as on any other.
const QColor kMarker(255, 190, 40);

// The gap the style leaves between a row's edge and its text.
int TextMargin(const QWidget* view) {
    const QStyle* style = view ? view->style() : QApplication::style();
    return style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1;
}

}  // namespace

void MatchDelegate::SetMatch(int row, int start, int length) {
    m_row = row;
    m_start = start;
    m_length = length;
}

int MatchDelegate::TextX(const QWidget* view, const QString& text, int at) {
    return TextMargin(view) + view->fontMetrics().horizontalAdvance(text.left(at));
}

void MatchDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const {
    if (index.row() != m_row) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    QStyleOptionViewItem item(option);
    initStyleOption(&item, index);
    const QWidget* view = item.widget;
    QStyle* style = view ? view->style() : QApplication::style();
    const QString text = item.text;
    QRect area = style->subElementRect(QStyle::SE_ItemViewItemText, &item, view);
    // The row's background, selection and focus as usual, then the text by hand.
    item.text.clear();
    style->drawControl(QStyle::CE_ItemViewItem, &item, painter, view);

    const int margin = TextMargin(view);
    area.adjust(margin, 0, -margin, 0);
    const bool selected = item.state & QStyle::State_Selected;
    const QColor ink =
        item.palette.color(QPalette::Active, selected ? QPalette::HighlightedText : QPalette::Text);
    const QFontMetrics metrics(item.font);
    const QString before = text.left(m_start), match = text.mid(m_start, m_length),
                  after = text.mid(m_start + m_length);
    const int x0 = area.left();
    const int x1 = x0 + metrics.horizontalAdvance(before);
    const int x2 = x1 + metrics.horizontalAdvance(match);
    const auto draw = [&](int x, const QString& part) {
        painter->drawText(QRect(x, area.top(), metrics.horizontalAdvance(part) + 1, area.height()),
                          Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, part);
    };
    painter->save();
    painter->setFont(item.font);
    painter->setPen(ink);
    draw(x0, before);
    draw(x2, after);
    painter->fillRect(QRect(x1, item.rect.top(), x2 - x1, item.rect.height()), kMarker);
    painter->setPen(Qt::black);
    draw(x1, match);
    painter->restore();
}

}  // namespace pomurina
