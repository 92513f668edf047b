// The commands on the main window's panes and fields: the menu "編集(&E)"
// finds in the current pane, the panes' context menu copies, selects all,
// finds and decodes in the decoder window, the fields' menu copies; and no
// two commands share a key.
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>
#include <QToolButton>
#include <set>

#include "DecoderWindow.h"
#include "MainWindowFixture.h"
#include "PaneCommands.h"
#include "widgets/FieldEdit.h"
#include "widgets/FindBar.h"
#include "widgets/PageControl.h"
#include "widgets/PaneView.h"

namespace pomurina::guitest {
namespace {

std::string Clipboard() {
    return QApplication::clipboard()->text().toStdString();
}

QAction* Action(const QMenu* menu, const char* name) {
    QAction* action = menu->findChild<QAction*>(QString::fromLatin1(name));
    EXPECT_NE(action, nullptr) << name;
    return action;
}

void SelectRows(PaneView& pane, std::initializer_list<int> rows) {
    pane.selectionModel()->clear();
    for (const int row : rows)
        pane.selectionModel()->select(pane.model()->index(row, 0), QItemSelectionModel::Select);
}

class PaneCommandsTest : public MainWindowTest {
protected:
    PaneCommandsTest() {
        UTF = &decoder;
        Run(WriteLog("access.log",
                     {LogLine(1, "GET /%E6%A4%9C%E7%B4%A2", 200, "10"),
                      LogLine(2, "GET /plain", 200, "20", "192.0.2.9",
                              "http://search.example/?q=%E3%83%9D%E3%83%A0%E3%83%AA%E3%83%8A"),
                      LogLine(3, "GET /100%", 404, "30")}));
    }
    ~PaneCommandsTest() override { UTF = nullptr; }
    TUTF decoder;
};

TEST_F(PaneCommandsTest, FindGoesToThePaneWithTheFocusOrTheOneShown) {
    form.show();
    PaneCommands& commands = form.Commands();
    // On the summary page there is no pane to find in: nothing happens.
    EXPECT_EQ(commands.CurrentPane(), nullptr);
    commands.Find1->trigger();
    form.PageControl1->setCurrentIndex(6);
    EXPECT_EQ(commands.CurrentPane(), form.NamaLog);
    commands.Find1->trigger();
    FindBar& bar = FindBar::Of(*form.NamaLog);
    EXPECT_TRUE(bar.isVisible());
    bar.Text->setText(QStringLiteral("GET"));
    commands.FindNext1->trigger();
    EXPECT_EQ(bar.Match()->line, 0u);
    commands.FindNext1->trigger();
    EXPECT_EQ(bar.Match()->line, 1u);
    commands.FindPrevious1->trigger();
    EXPECT_EQ(bar.Match()->line, 0u);

    // The focus decides over the page: the find bar's text counts as its pane.
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    form.PageControl1->setCurrentIndex(2);
    form.Memo7->setFocus();
    EXPECT_EQ(commands.CurrentPane(), form.Memo7);
    form.PageControl1->setCurrentIndex(6);
    bar.Text->setFocus();
    EXPECT_EQ(commands.CurrentPane(), form.NamaLog);
    EXPECT_TRUE(boxes.Texts().empty());
}

TEST_F(PaneCommandsTest, TheContextMenuCopiesSelectsAllAndFinds) {
    form.show();
    form.PageControl1->setCurrentIndex(6);
    PaneView& pane = *form.NamaLog;
    // A right click pops the menu up.
    emit pane.customContextMenuRequested(QPoint(10, 10));
    auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(popup->objectName(), "PaneMenu");
    EXPECT_FALSE(Action(popup, "PaneCopy")->isEnabled());  // nothing selected
    EXPECT_FALSE(Action(popup, "PaneDecode")->isEnabled());
    popup->close();

    SelectRows(pane, {2, 0});
    QMenu* menu = form.Commands().PopUpMenu(pane, QPoint(0, 0));
    Action(menu, "PaneCopy")->trigger();
    const std::vector<std::string> lines = pane.Lines().ToVector();
    EXPECT_EQ(Clipboard(), lines[0] + "\n" + lines[2]);
    menu->close();

    menu = form.Commands().PopUpMenu(pane, QPoint(0, 0));
    Action(menu, "PaneSelectAll")->trigger();
    EXPECT_EQ(pane.SelectedCount(), 3u);
    menu->close();

    menu = form.Commands().PopUpMenu(pane, QPoint(0, 0));
    Action(menu, "PaneFind")->trigger();
    EXPECT_TRUE(FindBar::Of(pane).isVisible());
    menu->close();
    EXPECT_TRUE(boxes.Texts().empty());
}

TEST_F(PaneCommandsTest, TheDecoderTakesTheSelectedLinesAndDecodesThem) {
    PaneView& pane = *form.NamaLog;
    SelectRows(pane, {1, 0});
    QMenu* menu = form.Commands().PopUpMenu(pane, QPoint(0, 0));
    Action(menu, "PaneDecode")->trigger();
    menu->close();
    const QStringList decoded = decoder.Memo1->toPlainText().split(QLatin1Char('\n'));
    ASSERT_EQ(decoded.size(), 2);
    EXPECT_TRUE(decoded[0].contains(QString::fromUtf8("GET /検索 HTTP")));
    EXPECT_TRUE(decoded[1].contains(QString::fromUtf8("?q=ポムリナ\"")));
    EXPECT_TRUE(boxes.Texts().empty());

    // "100%" is no escape: the decoder's own error box, and the lines before stay decoded.
    SelectRows(pane, {0, 2});
    PaneCommands::OpenInDecoder(pane);
    ASSERT_EQ(boxes.Texts().size(), 1u);
    EXPECT_EQ(boxes.Texts()[0], "不正なURL.");
    EXPECT_TRUE(decoder.Memo1->toPlainText().contains(QString::fromUtf8("/検索")));
}

TEST_F(PaneCommandsTest, AHugeSelectionSendsItsFirstLinesAndSaysSo) {
    PaneView pane("Memo9");
    pane.ReplaceAll(std::make_shared<const OwnedLines>(
        std::vector<std::string>(PaneCommands::kDecoderLines + 5, "%41")));
    pane.selectAll();
    PaneCommands::OpenInDecoder(pane);
    EXPECT_EQ(decoder.Memo1->blockCount(), static_cast<int>(PaneCommands::kDecoderLines));
    EXPECT_EQ(decoder.Memo1->document()->lastBlock().text(), "A");
    EXPECT_EQ(boxes.Texts(),
              std::vector<std::string>{
                  "選択された 10005 行のうち、最初の 10000 行をデコーダに送りました。"});
}

TEST_F(PaneCommandsTest, AFieldsMenuCopiesItsTextOrTheSelection) {
    form.show();
    FieldEdit& field = *form.Edit35;
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5),
                            field.mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(&field, &event);
    auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(popup, nullptr);
    Action(popup, "FieldCopy")->trigger();
    popup->close();
    EXPECT_EQ(Clipboard(), field.text().toStdString());
    EXPECT_EQ(Clipboard(), (home.Path() / "access.log").string());

    field.setSelection(0, 4);
    QApplication::sendEvent(&field, &event);
    popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(popup, nullptr);
    Action(popup, "FieldCopy")->trigger();
    popup->close();
    EXPECT_EQ(Clipboard(), field.text().left(4).toStdString());
}

// The access key of a caption ("&X"), upper-cased; 0 without one.
QChar AccessKey(const QString& caption) {
    const auto at = caption.indexOf(QLatin1Char('&'));
    return at >= 0 && at + 1 < caption.size() ? caption[at + 1].toUpper() : QChar();
}

TEST_F(PaneCommandsTest, NoTwoCommandsShareAKey) {
    std::set<QChar> topKeys;
    std::set<QString> shortcuts;
    const auto unique = [](auto& seen, const auto& key, const QString& where) {
        EXPECT_TRUE(seen.insert(key).second) << where.toStdString();
    };
    // The menu bar and the buttons of the summary page are reached with Alt at once.
    for (const QAction* entry : form.menuBar()->actions()) {
        if (!AccessKey(entry->text()).isNull())
            unique(topKeys, AccessKey(entry->text()), entry->text());
        if (!entry->menu()) continue;
        std::set<QChar> itemKeys;
        for (const QAction* item : entry->menu()->actions()) {
            if (item->isSeparator()) continue;
            if (!AccessKey(item->text()).isNull())
                unique(itemKeys, AccessKey(item->text()), item->text());
            if (!item->shortcut().isEmpty())
                unique(shortcuts, item->shortcut().toString(), item->text());
        }
    }
    // Button2 "FTP接続(&F)" has always shared F with the File menu.
    EXPECT_EQ(AccessKey(form.Button1->text()), QLatin1Char('L'));
    EXPECT_EQ(topKeys.count(QLatin1Char('L')), 0u);
    EXPECT_EQ(topKeys.count(QLatin1Char('E')), 1u);
    EXPECT_EQ(shortcuts,
              (std::set<QString>{"Ctrl+O", "F5", "Ctrl+F", "F3", "Shift+F3", "Ctrl+I"}));

    // Within the panes' menu and the find bar.
    PaneView& pane = *form.NamaLog;
    QMenu* menu = form.Commands().PopUpMenu(pane, QPoint(0, 0));
    std::set<QChar> menuKeys;
    for (const QAction* item : menu->actions())
        if (!item->isSeparator()) unique(menuKeys, AccessKey(item->text()), item->text());
    menu->close();
    FindBar& bar = FindBar::Of(pane);
    std::set<QChar> barKeys = topKeys;
    for (const QString& caption : {bar.Previous->text(), bar.Next->text(), bar.MatchCase->text()})
        unique(barKeys, AccessKey(caption), caption);
}

}  // namespace
}  // namespace pomurina::guitest
