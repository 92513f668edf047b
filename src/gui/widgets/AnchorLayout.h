#pragma once
// Places the controls of a page or box as the window's design has them: each
// control keeps its distance to the edges of its parent that it is anchored
// to, so a pane grows with the window while a counter box keeps to a corner.
// It never asks for room: what doesn't fit is cut off.
#include <QLayout>
#include <QRect>
#include <vector>

namespace pomurina {

enum Anchor { AnchorLeft = 1, AnchorTop = 2, AnchorRight = 4, AnchorBottom = 8 };
constexpr int kAnchorTopLeft = AnchorLeft | AnchorTop;
constexpr int kAnchorAll = AnchorLeft | AnchorTop | AnchorRight | AnchorBottom;

class AnchorLayout final : public QLayout {
public:
    // designSize: the parent's size the design positions refer to.
    AnchorLayout(QWidget* parent, QSize designSize);
    ~AnchorLayout() override;

    // Puts child at its design rectangle with the given anchors.
    void Place(QWidget* child, QRect design, int anchors = kAnchorTopLeft);

    void addItem(QLayoutItem* item) override;
    int count() const override { return static_cast<int>(m_items.size()); }
    QLayoutItem* itemAt(int index) const override;
    QLayoutItem* takeAt(int index) override;
    QSize sizeHint() const override { return m_designSize; }
    QSize minimumSize() const override { return {0, 0}; }
    void setGeometry(const QRect& rect) override;

private:
    struct Item {
        QLayoutItem* item;
        QRect design;
        int anchors;
    };
    QSize m_designSize;
    std::vector<Item> m_items;
};

}  // namespace pomurina
