// The result pane: its model over shared lines, the pane operations a run
// uses, sideways scrolling to long lines, and copying.
#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QClipboard>
#include <QFontMetrics>
#include <QScrollBar>
#include <QTest>
#include <chrono>
#include <cstdio>
#include <functional>

#include "GuiTestKit.h"
#include "SjisQt.h"
#include "text/LineSource.h"
#include "text/SelectedLines.h"
#include "widgets/PaneView.h"

namespace pomurina {
namespace {

using guitest::Sjis;

SharedLineSource Lines(std::vector<std::string> lines) {
    return std::make_shared<const OwnedLines>(std::move(lines));
}

QString Row(const PaneView& pane, int row) {
    return pane.model()->index(row, 0).data().toString();
}

TEST(PaneView, ModelStaysConsistentThroughEveryOperation) {
    PaneView pane("Memo8");
    QAbstractItemModelTester tester(pane.model(),
                                    QAbstractItemModelTester::FailureReportingMode::Fatal);
    pane.Append("one");
    pane.ReplaceAll(Lines({"a", "b", "c"}));
    pane.Insert(0, "head");
    pane.Insert(4, "tail");
    pane.SetBatching(true);
    const auto shared = Lines({"x", "y"});
    pane.AppendFrom(shared, 0);
    pane.AppendFrom(shared, 1);
    pane.Insert(2, "middle");  // the waiting rows are announced first
    pane.Append("waiting");
    pane.SetBatching(false);
    EXPECT_EQ(pane.model()->rowCount(), 9);
    EXPECT_EQ(Row(pane, 2), "middle");
    EXPECT_EQ(Row(pane, 8), "waiting");
    pane.Clear();
    EXPECT_EQ(pane.model()->rowCount(), 0);
}

TEST(PaneView, ANarrowedPaneShowsItsViewUntilItsLinesChange) {
    PaneView pane("NamaLog");
    QAbstractItemModelTester tester(pane.model(),
                                    QAbstractItemModelTester::FailureReportingMode::Fatal);
    const auto all = Lines({"a", "b", "c", "d"});
    pane.ReplaceAll(all);
    // Each change of the pane's lines shows them all again, in one piece.
    const std::function<void()> changes[] = {
        [&] { pane.Model().ShowAll(); },  [&] { pane.Append("e"); },
        [&] { pane.AppendFrom(all, 0); }, [&] { pane.Insert(0, "head"); },
        [&] { pane.ReplaceAll(all); },    [&] { pane.Clear(); },
    };
    for (const auto& change : changes) {
        const std::size_t count = pane.Lines().Count();
        pane.Model().ShowOnly(std::make_shared<SelectedLines>(all, std::vector<std::size_t>{1, 3}));
        EXPECT_EQ(pane.Shown().ToVector(), (std::vector<std::string>{"b", "d"}));
        EXPECT_EQ(pane.model()->rowCount(), 2);
        EXPECT_EQ(Row(pane, 1), "d");
        EXPECT_EQ(pane.Lines().Count(), count);  // what the dumps read stays whole
        change();
        EXPECT_FALSE(pane.Model().Narrowed());
        EXPECT_EQ(pane.model()->rowCount(), static_cast<int>(pane.Lines().Count()));
        EXPECT_EQ(pane.Shown().ToVector(), pane.Lines().ToVector());
    }
}

TEST(PaneView, InsertAtTheCountAppendsAndIntoAnEmptyPaneGivesOneLine) {
    PaneView pane("HOST404Memo");
    pane.Insert(0, "only");
    ASSERT_EQ(pane.Count(), 1u);
    pane.Insert(1, "second");
    EXPECT_EQ(pane.Lines().ToVector(), (std::vector<std::string>{"only", "second"}));
    EXPECT_EQ(pane.model()->rowCount(), 2);
    EXPECT_EQ(Row(pane, 1), "second");
}

TEST(PaneView, BatchedRowsReachTheViewOnlyWhenFlushed) {
    PaneView pane("RobotsLog");
    pane.SetBatching(true);
    for (int i = 0; i < 100; ++i) pane.Append("robot");
    EXPECT_EQ(pane.Count(), 100u);  // the run counts them at once
    EXPECT_EQ(pane.model()->rowCount(), 0);
    pane.FlushRows();
    EXPECT_EQ(pane.model()->rowCount(), 100);
}

TEST(PaneView, LinesAreDecodedForDisplayAndKeptAsBytes) {
    PaneView pane("NamaLog");
    const std::string japanese = Sjis("ホスト名");
    const std::string broken =
        "ab\x81\x20"
        "cd";  // a lead byte without its trail byte
    pane.ReplaceAll(Lines({japanese, broken}));
    EXPECT_EQ(Row(pane, 0), QString::fromUtf8("ホスト名"));
    EXPECT_TRUE(Row(pane, 1).contains(QChar(0xFFFD)));
    EXPECT_EQ(pane.Lines().ToVector()[1], broken);
}

// With uniform item sizes every row is as wide as the widest line, wherever it is.
int SidewaysReach(PaneView& pane) {
    pane.doItemsLayout();
    return pane.horizontalScrollBar()->maximum() + pane.viewport()->width();
}

TEST(PaneView, ALongLineInTheMiddleIsReachedBySidewaysScrolling) {
    PaneView pane("NamaLog");
    pane.resize(300, 200);
    pane.show();
    std::vector<std::string> lines(2000, "short");
    const std::string longLine(3000, 'W');
    lines[1000] = longLine;
    pane.ReplaceAll(Lines(lines));
    const int longWidth =
        QFontMetrics(pane.font()).horizontalAdvance(QString::fromStdString(longLine));
    EXPECT_GE(SidewaysReach(pane), longWidth);

    // Appended and inserted lines widen the rows as well.
    PaneView live("ReferrerLog");
    live.resize(300, 200);
    live.show();
    live.SetBatching(true);
    for (int i = 0; i < 50; ++i) live.Append(i == 20 ? longLine : "short");
    live.SetBatching(false);
    EXPECT_GE(SidewaysReach(live), longWidth);
    live.Insert(0, longLine + longLine);
    EXPECT_GE(SidewaysReach(live), 2 * longWidth);
}

TEST(PaneView, AMultiMegabyteLineIsMeasuredInPartAndReachedToItsEnd) {
    PaneView pane("NamaLog");
    pane.resize(300, 200);
    pane.show();
    const std::string pattern = Sjis("GET /検索?q=ポムリナ&page=12 HTTP/1.1 ");
    std::string longLine;
    while (longLine.size() < 4000000) longLine += pattern;
    const auto started = std::chrono::steady_clock::now();
    pane.ReplaceAll(Lines({"short", longLine, "short"}));
    const int reach = SidewaysReach(pane);
    pane.viewport()->grab();
    pane.horizontalScrollBar()->setValue(pane.horizontalScrollBar()->maximum());
    pane.viewport()->grab();
    const auto took = std::chrono::duration<double>(std::chrono::steady_clock::now() - started);
    // Measured, not asserted: the bench is the place for timing.
    std::printf("[ time     ] a 4 MB line filled, laid out and painted twice in %.3f s\n",
                took.count());
    // The line is as wide as its text laid out whole would be.
    const double whole = static_cast<double>(longLine.size() / pattern.size()) *
                         QFontMetrics(pane.font()).horizontalAdvance(FromSjis(pattern));
    EXPECT_GE(reach, 0.99 * whole);
    EXPECT_LE(reach, 1.01 * whole + pane.viewport()->width());
}

TEST(PaneView, CopyJoinsTheSelectedRowsInOrder) {
    PaneView pane("Memo9");
    pane.ReplaceAll(Lines({"first", Sjis("二番目"), "third", "fourth"}));
    pane.show();
    auto* selection = pane.selectionModel();
    selection->select(pane.model()->index(2, 0), QItemSelectionModel::Select);
    selection->select(pane.model()->index(0, 0), QItemSelectionModel::Select);
    QTest::keyClick(&pane, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), "first\nthird");

    QTest::keyClick(&pane, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(&pane, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), QString::fromUtf8("first\n二番目\nthird\nfourth"));
}

TEST(PaneView, ArrowKeysScrollSideways) {
    PaneView pane("Memo4");
    pane.resize(200, 100);
    pane.show();
    pane.ReplaceAll(Lines({std::string(500, 'M')}));
    pane.doItemsLayout();
    ASSERT_GT(pane.horizontalScrollBar()->maximum(), 0);
    QTest::keyClick(&pane, Qt::Key_Right);
    EXPECT_GT(pane.horizontalScrollBar()->value(), 0);
    QTest::keyClick(&pane, Qt::Key_Left);
    EXPECT_EQ(pane.horizontalScrollBar()->value(), 0);
}

}  // namespace
}  // namespace pomurina
