#pragma once
// The commands on the main window's result panes: the menu "編集(&E)" with
// find, find next and find previous (Ctrl+F, F3, Shift+F3) in the current
// pane, and every pane's context menu: copy, select all, find, and
// "URLデコーダで開く", which decodes the selected lines in the decoder window.
#include <QObject>
#include <array>
#include <cstddef>

#include "window/ResultWindow.h"

class QAction;
class QMainWindow;
class QMenu;
class QPoint;

namespace pomurina {

class PaneView;

class PaneCommands final : public QObject {
public:
    // At most this many lines go to the decoder at once.
    static constexpr std::size_t kDecoderLines = 10000;

    // Puts the menu into window's menu bar before the entry before.
    PaneCommands(QMainWindow& window, const std::array<PaneView*, kPaneCount>& panes,
                 QAction* before);

    QMenu* const EditMenu;
    QAction* const Find1;
    QAction* const FindNext1;
    QAction* const FindPrevious1;

    // The pane the find commands act on: the one with the focus, else the
    // one on the page shown; none on the summary and graph pages.
    PaneView* CurrentPane() const;
    // Pops up pane's context menu at a global position; returns the menu.
    QMenu* PopUpMenu(PaneView& pane, const QPoint& at);
    // Puts pane's selected lines into the decoder window, shows it and decodes them.
    static void OpenInDecoder(PaneView& pane);

private:
    QMainWindow& m_window;
    std::array<PaneView*, kPaneCount> m_panes;
};

}  // namespace pomurina
