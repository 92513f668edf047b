#pragma once
// Draws the share column of an insight table as a small bar behind its
// percentage; every other cell as usual.
#include <QStyledItemDelegate>

namespace pomurina {

class ShareDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
};

}  // namespace pomurina
