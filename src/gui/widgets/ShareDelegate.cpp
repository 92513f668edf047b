#include "widgets/ShareDelegate.h"

#include <QPainter>

#include "widgets/InsightTableModel.h"

namespace pomurina {

void ShareDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const {
    const QVariant share = index.data(InsightTableModel::kShareRole);
    if (share.isValid()) {
        QRectF bar = QRectF(option.rect).adjusted(3, 4, -3, -4);
        bar.setWidth(bar.width() * std::clamp(share.toDouble(), 0.0, 1.0));
        painter->fillRect(bar, QColor(120, 170, 230, 110));
    }
    QStyledItemDelegate::paint(painter, option, index);
}

}  // namespace pomurina
