#pragma once
// A tab bar whose tabs wrap into further rows when they don't fit in one, as
// the multi-line tab controls of the main window do: the row of the chosen
// tab lies next to the page, and the rows are stretched to the full width.
#include <QTabBar>
#include <vector>

namespace pomurina {

class WrappingTabBar final : public QTabBar {
public:
    explicit WrappingTabBar(QWidget* parent = nullptr);

    // The tab's rectangle in the rows laid out for the bar's width.
    QRect WrappedTabRect(int index) const;
    // How many rows the tabs take at the bar's width.
    int RowCount() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void tabLayoutChange() override;

private:
    // Rows of tab indexes that fit in width, in reading order.
    std::vector<std::vector<int>> Rows(int width) const;
    // Every tab's rectangle for width, rows placed with the chosen one next to the page.
    std::vector<QRect> Layout(int width) const;
    // The width the rows are laid out for: the tab control's.
    int LayoutWidth() const;
    int RowHeight() const;
};

}  // namespace pomurina
