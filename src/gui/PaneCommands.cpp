#include "PaneCommands.h"

#include <QApplication>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <algorithm>

#include "DecoderWindow.h"
#include "ErrorBox.h"
#include "SjisQt.h"
#include "WindowKit.h"
#include "text/Cp932.h"
#include "widgets/FindBar.h"
#include "widgets/PaneView.h"

namespace pomurina {

PaneCommands::PaneCommands(QMainWindow& window, const std::array<PaneView*, kPaneCount>& panes,
                           QAction* before)
    : QObject(&window),
      EditMenu(new QMenu(FromUtf8("編集(&E)"), &window)),
      Find1(AddCommand(EditMenu, "Find1", "検索(&F)...", QKeySequence::Find,
                       [this] {
                           if (PaneView* pane = CurrentPane()) FindBar::Of(*pane).Open();
                       })),
      FindNext1(AddCommand(EditMenu, "FindNext1", "次を検索(&N)", QKeySequence(Qt::Key_F3),
                           [this] {
                               if (PaneView* pane = CurrentPane()) FindBar::Of(*pane).FindNext();
                           })),
      FindPrevious1(AddCommand(EditMenu, "FindPrevious1", "前を検索(&P)",
                               QKeySequence(Qt::SHIFT | Qt::Key_F3),
                               [this] {
                                   if (PaneView* pane = CurrentPane())
                                       FindBar::Of(*pane).FindPrevious();
                               })),
      m_window(window),
      m_panes(panes) {
    EditMenu->setObjectName(QStringLiteral("EditMenu"));
    window.menuBar()->insertMenu(before, EditMenu);
    for (PaneView* pane : m_panes) {
        pane->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(pane, &QWidget::customContextMenuRequested, this, [this, pane](const QPoint& at) {
            Guarded([&] { PopUpMenu(*pane, pane->viewport()->mapToGlobal(at)); });
        });
    }
}

PaneView* PaneCommands::CurrentPane() const {
    for (QWidget* w = QApplication::focusWidget(); w; w = w->parentWidget()) {
        const auto pane = std::find(m_panes.begin(), m_panes.end(), w);
        if (pane != m_panes.end()) return *pane;
    }
    for (PaneView* pane : m_panes)
        if (pane->isVisibleTo(&m_window)) return pane;
    return nullptr;
}

QMenu* PaneCommands::PopUpMenu(PaneView& pane, const QPoint& at) {
    auto* menu = new QMenu(&pane);
    menu->setObjectName(QStringLiteral("PaneMenu"));
    menu->setAttribute(Qt::WA_DeleteOnClose);
    const bool selected = pane.selectionModel()->hasSelection();
    QAction* copy = AddCommand(menu, "PaneCopy", "コピー(&C)", QKeySequence::Copy,
                               [&pane] { pane.CopySelection(); });
    copy->setEnabled(selected);
    AddCommand(menu, "PaneSelectAll", "すべて選択(&A)", QKeySequence::SelectAll,
               [&pane] { pane.selectAll(); });
    menu->addSeparator();
    AddCommand(menu, "PaneFind", "検索(&F)...", QKeySequence::Find,
               [&pane] { FindBar::Of(pane).Open(); });
    menu->addSeparator();
    QAction* decode = AddCommand(menu, "PaneDecode", "URLデコーダで開く(&U)", {},
                                 [&pane] { OpenInDecoder(pane); });
    decode->setEnabled(selected);
    menu->popup(at);
    return menu;
}

void PaneCommands::OpenInDecoder(PaneView& pane) {
    if (!UTF) throw Error(Utf8ToCp932("デコーダウィンドウがありません"));
    const std::size_t selected = pane.SelectedCount();
    if (selected == 0) return;
    UTF->Memo1->setPlainText(pane.SelectedText(kDecoderLines));
    ShowNonModal(UTF);
    UTF->RunButtonClick();
    if (selected > kDecoderLines)
        ShowInformation(Utf8ToCp932("選択された " + std::to_string(selected) +
                                    " 行のうち、最初の " + std::to_string(kDecoderLines) +
                                    " 行をデコーダに送りました。"));
}

}  // namespace pomurina
