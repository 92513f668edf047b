#include "widgets/MatchDelegate.h"

#include <QApplication>
#include <QPainter>
#include <algorithm>
#include <string>

#include "SjisQt.h"
#include "widgets/PaneModel.h"
#include "widgets/RowGeometry.h"

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

void MatchDelegate::SetMatch(int row, std::size_t start, std::size_t length) {
    m_row = row;
    m_start = start;
    m_length = length;
}

int MatchDelegate::TextX(const QWidget* view, std::string_view line, std::size_t byte) {
    return TextMargin(view) + RowGeometry(view->fontMetrics(), line).X(byte);
}

void MatchDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const {
    const auto* model = dynamic_cast<const PaneModel*>(index.model());
    std::string scratch;
    std::string_view line;
    // Nothing may be thrown into the view's painting.
    try {
        if (model) line = model->Lines().Line(static_cast<std::size_t>(index.row()), scratch);
    } catch (...) {
        return;
    }
    const bool marked = index.row() == m_row;
    if (!model || (!marked && line.size() <= RowGeometry::kMeasuredBytes)) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    // The row's background, selection and focus as usual (with the text the
    // style would place), then the text by hand.
    QStyleOptionViewItem item(option);
    item.features |= QStyleOptionViewItem::HasDisplay;
    item.text = QStringLiteral(" ");
    const QWidget* view = item.widget;
    QStyle* style = view ? view->style() : QApplication::style();
    QRect area = style->subElementRect(QStyle::SE_ItemViewItemText, &item, view);
    item.text.clear();
    style->drawControl(QStyle::CE_ItemViewItem, &item, painter, view);

    const int margin = TextMargin(view);
    area.adjust(margin, 0, -margin, 0);
    // Only the part of a long line in sight is laid out.
    const RowGeometry geometry(QFontMetrics(item.font), line);
    const int sightWidth = view ? view->width() : area.width();
    const RowGeometry::Slice slice = geometry.Visible(-area.left(), sightWidth - area.left());
    const std::string_view shown = line.substr(slice.first, slice.end - slice.first);
    // The match as far as it lies in the slice.
    std::size_t start = shown.size(), end = shown.size();
    if (marked && m_start + m_length > slice.first && m_start < slice.end) {
        start = std::max(m_start, slice.first) - slice.first;
        end = std::min(m_start + m_length, slice.end) - slice.first;
    }

    const bool selected = item.state & QStyle::State_Selected;
    const QColor ink =
        item.palette.color(QPalette::Active, selected ? QPalette::HighlightedText : QPalette::Text);
    const QFontMetrics metrics(item.font);
    const QString before = FromSjis(shown.substr(0, start)),
                  match = FromSjis(shown.substr(start, end - start)),
                  after = FromSjis(shown.substr(end));
    const int x0 = area.left() + slice.x;
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
    if (!match.isEmpty()) {
        painter->fillRect(QRect(x1, item.rect.top(), x2 - x1, item.rect.height()), kMarker);
        painter->setPen(Qt::black);
        draw(x1, match);
    }
    painter->restore();
}

}  // namespace pomurina
