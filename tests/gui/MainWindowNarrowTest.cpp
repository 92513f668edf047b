// A double click on a row of the analysis window narrows the raw-log pane to
// the lines counted in that row: the pane shows exactly those, the bar says
// what and how many, find, copy and select all act on what is shown, and
// "すべての行を表示", a new narrowing or a new run undo it.  A search in the
// background is cancelled by the next.
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "InsightWindow.h"
#include "LogNarrowing.h"
#include "MainWindowFixture.h"
#include "NarrowingBar.h"
#include "widgets/FindBar.h"
#include "widgets/InsightModels.h"
#include "widgets/PaneView.h"

namespace pomurina::guitest {
namespace {

class NarrowTest : public BothWindowsTest {
protected:
    ~NarrowTest() override { LogNarrowing::SetBackgroundFrom(100000); }
    // The log: hosts a, b and c; b asks twice for /x.html, once for a
    // style sheet, and once for a page that isn't there.
    std::vector<std::string> Lines() const {
        return {LogLine(1, "GET /x.html", 200, "10", "a.example"),
                LogLine(2, "GET /x.html", 200, "10", "b.example"),
                LogLine(3, "GET /s.css", 200, "10", "b.example"),
                LogLine(4, "GET /gone", 404, "10", "c.example"),
                LogLine(5, "GET /x.html?q=1", 304, "-", "b.example"),
                LogLine(6, "GET /gone", 404, "10", "b.example")};
    }
    // The view row of table key whose first cell shows text.
    int RowOf(const char* key, const QString& text) {
        const InsightTableModel* model = insight.Models()->Find(key);
        for (int r = 0; r < model->rowCount(); ++r)
            if (model->data(model->index(r, 0), Qt::DisplayRole).toString() == text) return r;
        ADD_FAILURE() << key << " has no row " << text.toStdString();
        return 0;
    }
    std::vector<std::string> Shown() const {
        std::vector<std::string> shown;
        std::string scratch;
        const PaneLines& lines = form.NamaLog->Shown();
        for (std::size_t i = 0; i < lines.Count(); ++i) shown.emplace_back(lines.Line(i, scratch));
        return shown;
    }
    std::vector<std::string> LinesAt(const std::vector<std::size_t>& indexes) const {
        std::vector<std::string> lines;
        for (const std::size_t i : indexes) lines.push_back(Lines()[i]);
        return lines;
    }
};

TEST_F(NarrowTest, ARowShowsItsLinesAndTheBarSaysHowMany) {
    ASSERT_EQ(Run(WriteLog("n.log", Lines())), std::nullopt);
    struct Case {
        const char* table;
        const char* row;
        std::vector<std::size_t> lines;
    };
    const Case cases[] = {
        {"hosts", "b.example", {1, 2, 4, 5}},
        {"pages", "/x.html", {0, 1, 4}},
        {"not_found", "/gone", {3, 5}},
        {"status_codes", "404", {3, 5}},
        {"days", "2020-03-05", {0, 1, 2, 3, 4, 5}},
    };
    for (const Case& c : cases) {
        insight.RowDoubleClick(c.table, RowOf(c.table, QString::fromUtf8(c.row)));
        EXPECT_EQ(Shown(), LinesAt(c.lines)) << c.table << " " << c.row;
        EXPECT_EQ(form.NamaLog->model()->rowCount(), static_cast<int>(c.lines.size()));
        EXPECT_EQ(
            form.NamaLogBar->Message->text().toStdString(),
            std::string("絞り込み: ") + c.row + " — " + std::to_string(c.lines.size()) + "行");
        EXPECT_FALSE(form.NamaLogBar->isHidden());
        // The pane's lines themselves, what the dumps and reports read, stay whole.
        EXPECT_EQ(form.NamaLog->Lines().Count(), Lines().size());
    }
    EXPECT_EQ(GroupedCount(1234567).toStdString(), "1,234,567");
    form.NamaLogBar->ShowAllButton->click();
    EXPECT_TRUE(form.NamaLogBar->isHidden());
    EXPECT_EQ(Shown(), Lines());
}

TEST_F(NarrowTest, ALongRowNameLeavesTheWindowItsSize) {
    const std::string host(4000, 'h');
    ASSERT_EQ(Run(WriteLog("long.log", {LogLine(1, "GET /", 200, "1", host)})), std::nullopt);
    form.show();
    QApplication::processEvents();
    const QSize size = form.size();
    insight.RowDoubleClick("hosts", 0);
    QApplication::processEvents();
    EXPECT_EQ(form.size(), size);
    EXPECT_EQ(form.NamaLogBar->Message->toolTip().size(), 4000 + 11);
}

TEST_F(NarrowTest, FindCopyAndSelectAllActOnWhatIsShown) {
    ASSERT_EQ(Run(WriteLog("n.log", Lines())), std::nullopt);
    insight.RowDoubleClick("hosts", RowOf("hosts", "b.example"));
    form.NamaLog->selectAll();
    EXPECT_EQ(form.NamaLog->SelectedText().toStdString(),
              LinesAt({1}).front() + "\n" + LinesAt({2}).front() + "\n" + LinesAt({4}).front() +
                  "\n" + LinesAt({5}).front());
    // a.example's line is not shown, so not found; b's third line is row 2.
    FindBar& bar = FindBar::Of(*form.NamaLog);
    bar.Text->setText(QStringLiteral("a.example"));
    bar.FindNext();
    EXPECT_FALSE(bar.Match());
    bar.Text->setText(QStringLiteral("304"));
    bar.FindNext();
    ASSERT_TRUE(bar.Match());
    EXPECT_EQ(bar.Match()->line, 2u);
}

TEST_F(NarrowTest, InTheBackgroundTheNextNarrowingOrRunCancelsTheLast) {
    ASSERT_EQ(Run(WriteLog("n.log", Lines())), std::nullopt);
    LogNarrowing::SetBackgroundFrom(0);
    insight.RowDoubleClick("hosts", RowOf("hosts", "a.example"));
    EXPECT_TRUE(form.Narrowing().Finding());
    EXPECT_NE(form.NamaLogBar->Message->text().indexOf(QString::fromUtf8("絞り込み中…")), -1);
    insight.RowDoubleClick("hosts", RowOf("hosts", "c.example"));
    QTRY_VERIFY(!form.Narrowing().Finding());
    EXPECT_EQ(Shown(), LinesAt({3}));
    EXPECT_EQ(form.NamaLogBar->Message->text().toStdString(), "絞り込み: c.example — 1行");
    // Nothing of a.example's search arrives later.
    QTest::qWait(50);
    EXPECT_EQ(Shown(), LinesAt({3}));

    insight.RowDoubleClick("hosts", RowOf("hosts", "b.example"));
    ASSERT_EQ(Run(WriteLog("m.log", Lines())), std::nullopt);
    EXPECT_FALSE(form.Narrowing().Finding());
    QTest::qWait(50);
    EXPECT_TRUE(form.NamaLogBar->isHidden());
    EXPECT_EQ(Shown(), Lines());
}

}  // namespace
}  // namespace pomurina::guitest
