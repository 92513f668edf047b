#include "widgets/PageControl.h"

#include <QStyleOptionTabWidgetFrame>

#include "widgets/WrappingTabBar.h"

namespace pomurina {

PageControl::PageControl(const char* name, Tabs tabs, Rows rows, QWidget* parent)
    : QTabWidget(parent) {
    setObjectName(QString::fromLatin1(name));
    if (rows == Rows::Wrap) setTabBar(new WrappingTabBar(this));
    setTabPosition(tabs == Tabs::Top ? QTabWidget::North : QTabWidget::South);
    // One row scrolls when its tabs don't fit.
    setUsesScrollButtons(rows == Rows::One);
    setElideMode(Qt::ElideNone);
}

QWidget* PageControl::AddPage(const char* name, const char* caption) {
    auto* page = new QWidget;
    page->setObjectName(QString::fromLatin1(name));
    addTab(page, QString::fromUtf8(caption));
    return page;
}

void PageControl::initStyleOption(QStyleOptionTabWidgetFrame* option) const {
    QTabWidget::initStyleOption(option);
    // The frame leaves a gap under the chosen tab: where the wrapped rows put it.
    if (const auto* bar = dynamic_cast<const WrappingTabBar*>(tabBar()))
        option->selectedTabRect = bar->WrappedTabRect(currentIndex()).translated(bar->pos());
}

}  // namespace pomurina
