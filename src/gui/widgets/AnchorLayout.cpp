#include "widgets/AnchorLayout.h"

#include <QWidget>

namespace pomurina {
namespace {

// One axis: start and length of a control whose design span is [start,
// start + length) in a parent of designExtent, now extent.
std::pair<int, int> Span(int start, int length, int designExtent, int extent, bool nearEdge,
                         bool farEdge) {
    const int farGap = designExtent - start - length;
    if (nearEdge && farEdge) return {start, std::max(0, extent - farGap - start)};
    if (farEdge) return {extent - farGap - length, length};
    return {start, length};
}

}  // namespace

AnchorLayout::AnchorLayout(QWidget* parent, QSize designSize)
    : QLayout(parent), m_designSize(designSize) {
    setContentsMargins(0, 0, 0, 0);
    setSpacing(0);
}

AnchorLayout::~AnchorLayout() {
    for (Item& item : m_items) delete item.item;
}

void AnchorLayout::Place(QWidget* child, QRect design, int anchors) {
    addChildWidget(child);
    m_items.push_back({new QWidgetItem(child), design, anchors});
    child->setGeometry(design);
    invalidate();
}

void AnchorLayout::addItem(QLayoutItem* item) {
    m_items.push_back({item, item->geometry(), kAnchorTopLeft});
}

QLayoutItem* AnchorLayout::itemAt(int index) const {
    return index >= 0 && index < count() ? m_items[static_cast<std::size_t>(index)].item : nullptr;
}

QLayoutItem* AnchorLayout::takeAt(int index) {
    if (index < 0 || index >= count()) return nullptr;
    QLayoutItem* item = m_items[static_cast<std::size_t>(index)].item;
    m_items.erase(m_items.begin() + index);
    return item;
}

void AnchorLayout::setGeometry(const QRect& rect) {
    QLayout::setGeometry(rect);
    for (const Item& item : m_items) {
        const QRect& d = item.design;
        const auto [x, width] = Span(d.x(), d.width(), m_designSize.width(), rect.width(),
                                     item.anchors & AnchorLeft, item.anchors & AnchorRight);
        const auto [y, height] = Span(d.y(), d.height(), m_designSize.height(), rect.height(),
                                      item.anchors & AnchorTop, item.anchors & AnchorBottom);
        // Not through QWidgetItem: the design size stands even below a control's size hint.
        if (QWidget* widget = item.item->widget())
            widget->setGeometry(rect.x() + x, rect.y() + y, width, height);
        else
            item.item->setGeometry(QRect(rect.x() + x, rect.y() + y, width, height));
    }
}

}  // namespace pomurina
