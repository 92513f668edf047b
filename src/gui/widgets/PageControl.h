#pragma once
// A tab control of the main window: pages with captions, tabs on top or at
// the bottom, in one row (scrolling when they don't fit) or wrapping into
// further rows.
#include <QTabWidget>

namespace pomurina {

class PageControl final : public QTabWidget {
public:
    enum class Tabs { Top, Bottom };
    enum class Rows { One, Wrap };

    PageControl(const char* name, Tabs tabs, Rows rows, QWidget* parent = nullptr);

    // Adds a page named name (the design's name) with the caption (UTF-8).
    QWidget* AddPage(const char* name, const char* caption);

protected:
    void initStyleOption(QStyleOptionTabWidgetFrame* option) const override;
};

}  // namespace pomurina
