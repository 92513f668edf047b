// The main window's structure, its resizing, its commands and the guard
// behind every handler.
#include <QGroupBox>
#include <QMenuBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTest>

#include "AboutWindow.h"
#include "Errors.h"
#include "FtpWindow.h"
#include "ListManagerWindow.h"
#include "MainWindowFixture.h"
#include "PomurinaApplication.h"
#include "widgets/FieldEdit.h"
#include "widgets/PageControl.h"
#include "widgets/PaneView.h"
#include "widgets/UnitBox.h"
#include "widgets/WrappingTabBar.h"

namespace pomurina::guitest {
namespace {

// The captions of the tabs that lead to widget, outermost first: "接続 > 集計".
std::string TabPath(const QWidget* widget) {
    std::string path;
    for (const QWidget* w = widget; w && w->parentWidget(); w = w->parentWidget()) {
        const auto* stack = qobject_cast<const QStackedWidget*>(w->parentWidget());
        const auto* tabs = stack ? qobject_cast<const QTabWidget*>(stack->parentWidget()) : nullptr;
        if (!tabs) continue;
        const std::string caption =
            tabs->tabText(tabs->indexOf(const_cast<QWidget*>(w))).toStdString();
        path = path.empty() ? caption : caption + " > " + path;
    }
    return path;
}

std::vector<std::string> Captions(const QTabWidget* tabs) {
    std::vector<std::string> captions;
    for (int i = 0; i < tabs->count(); ++i) captions.push_back(tabs->tabText(i).toStdString());
    return captions;
}

TEST_F(MainWindowTest, EveryPaneGraphAndFieldSitsOnItsPage) {
    const std::pair<const char*, const char*> places[] = {
        {"NamaLog", "生ログ"},
        {"Memo8", "接続 > 集計"},
        {"Memo9", "接続 > 抽出ログ"},
        {"HOST404Memo", "接続 > 不正常ログ > 404"},
        {"HOST403Memo", "接続 > 不正常ログ > 403"},
        {"Memo2", "接続 > 不正常ログ > その他"},
        {"CheckDomeinMemo", "接続 > 監視抽出"},
        {"Memo7", "要求ログ > 集計"},
        {"File404Memo", "要求ログ > 不正常ログ > 404"},
        {"File403Memo", "要求ログ > 不正常ログ > 403"},
        {"Memo10", "要求ログ > 不正常ログ > その他"},
        {"Memo4", "要求ログ > 抽出ログ"},
        {"Memo6", "受信ログ > 集計"},
        {"POST404Memo", "受信ログ > 不正常ログ > 404"},
        {"POST403Memo", "受信ログ > 不正常ログ > 403"},
        {"Memo11", "受信ログ > 不正常ログ > その他"},
        {"Memo5", "受信ログ > 抽出ログ"},
        {"ReferrerList", "リファラ > 参照元"},
        {"ReferrerLog", "リファラ > 抽出ログ"},
        {"RobotsLog", "bot"},
        {"Image1", "接続 > グラフ"},
        {"Image2", "要求ログ > グラフ"},
        {"Image3", "受信ログ > グラフ"},
        {"Edit1", "カウント"},
        {"Edit34", "カウント"},
        {"Edit35", "カウント"},
        {"byteName", "カウント"},
        {"Edit12", "接続 > 集計"},
        {"Edit11", "接続 > 集計"},
        {"Edit8", "要求ログ > 集計"},
        {"Edit15", "要求ログ > 集計"},
        {"Edit6", "受信ログ > 集計"},
        {"Edit18", "受信ログ > 集計"},
    };
    for (const auto& [name, path] : places) {
        const QWidget* widget = form.findChild<QWidget*>(QString::fromLatin1(name));
        ASSERT_NE(widget, nullptr) << name;
        EXPECT_EQ(TabPath(widget), path) << name;
    }
    for (int p = 0; p < kPaneCount; ++p)
        EXPECT_EQ(
            form.findChild<PaneView*>(QString::fromStdString(std::string(PaneName(PaneId(p))))),
            &form.GetPane(PaneId(p)));
    for (int f = 0; f < kFieldCount; ++f)
        EXPECT_EQ(form.findChild<FieldEdit*>(QString::fromStdString(FieldName(FieldAt(f)))),
                  &form.GetField(FieldAt(f)));
}

TEST_F(MainWindowTest, TabsMenusAndFirstPagesAreTheDesigns) {
    using Captions_ = std::vector<std::string>;
    EXPECT_EQ(Captions(form.PageControl1),
              (Captions_{"カウント", "接続", "要求ログ", "受信ログ", "リファラ", "bot", "生ログ"}));
    EXPECT_EQ(form.PageControl1->tabPosition(), QTabWidget::North);
    EXPECT_NE(dynamic_cast<WrappingTabBar*>(form.PageControl1->tabBar()), nullptr);
    EXPECT_NE(dynamic_cast<WrappingTabBar*>(form.PageControl2->tabBar()), nullptr);
    EXPECT_EQ(dynamic_cast<WrappingTabBar*>(form.PageControl4->tabBar()), nullptr);
    for (const PageControl* sub :
         {form.PageControl4, form.PageControl3, form.PageControl2, form.PageControl7,
          form.PageControl5, form.PageControl6, form.POST403}) {
        EXPECT_EQ(sub->tabPosition(), QTabWidget::South) << sub->objectName().toStdString();
        EXPECT_EQ(sub->currentIndex(), 0) << sub->objectName().toStdString();
    }
    EXPECT_EQ(Captions(form.PageControl4),
              (Captions_{"集計", "グラフ", "不正常ログ", "抽出ログ", "監視抽出"}));
    EXPECT_EQ(Captions(form.PageControl2), (Captions_{"集計", "グラフ", "不正常ログ", "抽出ログ"}));
    EXPECT_EQ(Captions(form.POST403), (Captions_{"404", "403", "その他"}));
    EXPECT_EQ(form.PageControl1->currentIndex(), 0);

    Captions_ menu;
    for (const QAction* entry : form.menuBar()->actions()) {
        menu.push_back(entry->text().toStdString());
        if (entry->menu())
            for (const QAction* item : entry->menu()->actions())
                if (item->isVisible()) menu.push_back("  " + item->text().toStdString());
    }
    EXPECT_EQ(menu, (Captions_{"ファイル(&F)", "  ローカルから読み込み(&O)",
                               "  FTPから読み込み(&F)", "  再解析(&R)", "  ",
                               "  ログをアーカイブに取り込む(&I)…", "  アーカイブを開く(&A)…", "  ",
                               "  レポートを保存(&S)…",
                               "  終了(&X)", "編集(&E)", "  検索(&F)...", "  次を検索(&N)",
                               "  前を検索(&P)", "設定", "  ドメイン管理(&D)", "表示(&V)",
                               "  UTF-8デコーダ(&U)", "  アクセス解析(&A)", "バージョン情報(&I)"}));
    EXPECT_EQ(form.windowTitle(), QString::fromUtf8("ポムリナ"));
}

TEST_F(MainWindowTest, StartsEmptyWithDashesAndTheUnitByte) {
    for (int f = 0; f < kFieldCount; ++f) EXPECT_EQ(form.GetField(FieldAt(f)).Text(), "-") << f;
    for (int p = 0; p < kPaneCount; ++p) EXPECT_EQ(form.GetPane(PaneId(p)).Count(), 0u);
    EXPECT_EQ(form.byteName->currentText(), "byte");
    EXPECT_EQ(form.ByteName().ItemIndex(), 0);
    EXPECT_EQ(form.LastByteUnit(), kNoUnitYet);
    EXPECT_FALSE(progress.isVisible());
}

TEST_F(MainWindowTest, TheSummaryTabsFocusOrderRunsThroughTheBoxesRowByRow) {
    std::vector<std::string> order;
    QWidget* w = form.Button1;
    for (int guard = 0; guard < 500 && order.size() < 23; ++guard, w = w->nextInFocusChain()) {
        if (!(w->focusPolicy() & Qt::TabFocus) || w->objectName().isEmpty()) continue;
        // The unit box takes the focus through its typing field.
        order.push_back(
            (w->parentWidget() == form.byteName ? form.byteName : w)->objectName().toStdString());
    }
    EXPECT_EQ(order,
              (std::vector<std::string>{
                  "Button1", "Edit1",  "Edit2",  "Edit22", "Edit23",   "Edit24", "Edit3",  "Edit9",
                  "Edit27",  "Edit26", "Edit25", "Edit4",  "Edit10",   "Edit30", "Edit29", "Edit28",
                  "Edit31",  "Edit33", "Edit32", "Edit34", "byteName", "Edit35", "Button2"}));
}

// Shows page of tabs and lets its layout settle.
void ShowPage(QTabWidget* tabs, int page) {
    tabs->setCurrentIndex(page);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
}

TEST_F(MainWindowTest, AtTheMinimumSizeTheSummaryKeepsItsPlacesWhilePanesShrink) {
    form.show();
    ShowPage(form.PageControl1, 1);
    const QWidget* page = form.Memo8->parentWidget();
    const int paneGap = page->height() - form.Memo8->geometry().bottom();
    const QRect file = form.Edit35->geometry(), totals = form.GroupBox1->geometry();

    form.resize(form.minimumSize());
    ShowPage(form.PageControl1, 0);
    ShowPage(form.PageControl1, 1);
    EXPECT_EQ(form.Edit35->geometry(), file);
    EXPECT_EQ(form.GroupBox1->geometry(), totals);
    EXPECT_EQ(page->height() - form.Memo8->geometry().bottom(), paneGap);
    EXPECT_EQ(form.Memo8->width(), page->width());
    // The counter box keeps to the bottom-left corner.
    EXPECT_EQ(form.GroupBox8->x(), 8);
    EXPECT_EQ(form.GroupBox8->geometry().bottom(), page->height() - 1);
}

TEST_F(MainWindowTest, TopTabsWrapWithTheChosenRowNextToThePage) {
    form.show();
    form.resize(form.minimumSize());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    auto* bar = dynamic_cast<WrappingTabBar*>(form.PageControl1->tabBar());
    ASSERT_GT(bar->RowCount(), 1);
    const auto onLastRow = [bar](int tab) {
        return bar->WrappedTabRect(tab).bottom() == bar->height() - 1;
    };
    EXPECT_TRUE(onLastRow(0));
    EXPECT_FALSE(onLastRow(6));
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->WrappedTabRect(6).center());
    EXPECT_EQ(form.PageControl1->currentIndex(), 6);
    EXPECT_TRUE(onLastRow(6));
    EXPECT_FALSE(onLastRow(0));
    // Each row is stretched to the full width.
    int right = 0;
    for (int tab = 0; tab < bar->count(); ++tab)
        right = std::max(right, bar->WrappedTabRect(tab).right());
    EXPECT_EQ(right, bar->width() - 1);
}

TEST_F(MainWindowTest, TheWindowCommandsShowTheirWindows) {
    TVersionINFO about;
    TFTP ftp;
    TDomein lists;
    VersionINFO = &about;
    FTP = &ftp;
    Domein = &lists;
    form.N1->trigger();
    form.Button2->click();
    form.N3->trigger();
    EXPECT_TRUE(about.isVisible());
    EXPECT_TRUE(ftp.isVisible());
    EXPECT_TRUE(lists.isVisible());
    about.CloseButton->click();
    EXPECT_FALSE(about.isVisible());
    // Esc closes the About window as "閉じる" does.
    form.N1->trigger();
    QTest::keyClick(&about, Qt::Key_Escape);
    EXPECT_FALSE(about.isVisible());
    VersionINFO = nullptr;
    FTP = nullptr;
    Domein = nullptr;
    EXPECT_TRUE(boxes.Texts().empty());
}

TEST_F(MainWindowTest, AFailingCommandGivesOneBoxAndTheNextClickStillWorks) {
    const std::string good = WriteLog("good.log", {LogLine(14, "GET /", 200, "10")});
    std::vector<std::string> answers{home.Path().string() + "/missing.log", good};
    SetOpenFileChooser([&](QWidget*) {
        std::string next = answers.front();
        answers.erase(answers.begin());
        return std::vector<std::string>{next};
    });
    form.Button1->click();
    ASSERT_EQ(boxes.Texts().size(), 1u);
    EXPECT_NE(boxes.Texts()[0].find("missing.log"), std::string::npos);
    form.OpenO1->trigger();
    EXPECT_EQ(boxes.Texts().size(), 1u);
    EXPECT_EQ(form.GetField(FieldId::SummaryConnections).Text(), "1");

    // A file that vanishes between the dialog and the load.
    const std::string vanishing = WriteLog("vanishing.log", {LogLine(14, "GET /", 200, "10")});
    SetOpenFileChooser([&](QWidget*) {
        std::filesystem::remove(vanishing);
        return std::vector<std::string>{vanishing};
    });
    form.Button1->click();
    ASSERT_EQ(boxes.Texts().size(), 2u);
    EXPECT_NE(boxes.Texts()[1].find("vanishing.log"), std::string::npos);

    // A cancelled dialog does nothing.
    SetOpenFileChooser([](QWidget*) { return std::vector<std::string>(); });
    form.Button1->click();
    EXPECT_EQ(boxes.Texts().size(), 2u);
}

// An object whose event handler throws, as an unguarded handler would.
class Unguarded : public QObject {
public:
    bool event(QEvent*) override { throw Error(Sjis("ハンドラの失敗")); }
};

TEST_F(MainWindowTest, AnExceptionPastAHandlerIsShownOnceInRelease) {
    PomurinaApplication::SetFatalEscapes(false);
    Unguarded object;
    QEvent event(QEvent::User);
    EXPECT_FALSE(QCoreApplication::sendEvent(&object, &event));
    PomurinaApplication::SetFatalEscapes(true);
    EXPECT_EQ(boxes.Texts(), (std::vector<std::string>{"ハンドラの失敗."}));
}

TEST(MainWindowDeathTest, TheTripwireEndsTheTestsWhenAHandlerIsLeftUnguarded) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(
        {
            Unguarded object;
            QEvent event(QEvent::User);
            QCoreApplication::sendEvent(&object, &event);
        },
        "escaped an unguarded handler");
}

}  // namespace
}  // namespace pomurina::guitest
