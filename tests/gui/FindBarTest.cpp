// The find bar of a pane: Japanese text down and up around the ends, not
// found, match case, the marker and sideways scrolling, the bar's keys and
// place, and a long search that lets the event loop run and stops when the
// pane's lines change under it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include "GuiTestKit.h"
#include "widgets/FindBar.h"
#include "widgets/MatchDelegate.h"
#include "widgets/PaneView.h"
#include "widgets/RowGeometry.h"

namespace pomurina {
namespace {

using guitest::Sjis;

class FindBarTest : public ::testing::Test {
protected:
    FindBarTest() {
        pane.resize(400, 200);
        pane.show();
    }
    ~FindBarTest() override { FindBar::SetSlice(65536, 40); }

    void Fill(const std::vector<std::string>& utf8Lines) {
        std::vector<std::string> lines;
        for (const auto& line : utf8Lines) lines.push_back(Sjis(line.c_str()));
        pane.ReplaceAll(std::make_shared<const OwnedLines>(std::move(lines)));
    }
    // Where the match is (line, byte), or (-1, -1).
    std::pair<int, int> Find(const char* utf8, bool next = true) {
        bar.Text->setText(QString::fromUtf8(utf8));
        next ? bar.FindNext() : bar.FindPrevious();
        return Where();
    }
    std::pair<int, int> Where() const {
        if (!bar.Match()) return {-1, -1};
        return {static_cast<int>(bar.Match()->line), static_cast<int>(bar.Match()->at.start)};
    }
    std::string Said() const { return bar.Status->text().toStdString(); }
    int MarkedRow() const { return dynamic_cast<MatchDelegate*>(pane.itemDelegate())->MatchRow(); }

    PaneView pane{"NamaLog"};
    FindBar& bar = FindBar::Of(pane);
};

TEST_F(FindBarTest, FindsJapaneseDownAndUpAroundTheEnds) {
    Fill({"GET /index.html", "GET /検索/a", "x", "検索 and 検索", "y"});
    EXPECT_EQ(Find("検索"), std::make_pair(1, 5));
    EXPECT_EQ(pane.currentIndex().row(), 1);
    EXPECT_TRUE(pane.selectionModel()->isRowSelected(1, {}));
    EXPECT_EQ(MarkedRow(), 1);
    EXPECT_EQ(Said(), "");
    EXPECT_EQ(Find("検索"), std::make_pair(3, 0));
    EXPECT_EQ(Find("検索"), std::make_pair(3, 9));
    EXPECT_EQ(Find("検索"), std::make_pair(1, 5));
    EXPECT_EQ(Said(), "先頭に戻って見つけました");
    EXPECT_EQ(Find("検索", false), std::make_pair(3, 9));
    EXPECT_EQ(Said(), "末尾に戻って見つけました");
    EXPECT_EQ(Find("検索", false), std::make_pair(3, 0));
    EXPECT_EQ(Said(), "");
    // A longer text is looked for from where the shorter one matched.
    EXPECT_EQ(Find("検索 and"), std::make_pair(3, 0));
    // The user moves to another row: the next search starts there.
    pane.setCurrentIndex(pane.model()->index(4, 0));
    EXPECT_EQ(Find("x", false), std::make_pair(2, 0));
}

TEST_F(FindBarTest, SaysWhatItCantFindAndMatchesCaseWhenAsked) {
    Fill({"Googlebot/2.1", "googlebot", "ＧＯＯＧＬＥ"});
    EXPECT_EQ(Find("GOOGLEBOT"), std::make_pair(0, 0));
    EXPECT_EQ(Find("ｇｏｏｇｌｅ"), std::make_pair(2, 0));
    bar.MatchCase->setChecked(true);
    EXPECT_EQ(Find("GOOGLEBOT"), std::make_pair(-1, -1));
    EXPECT_EQ(Said(), "見つかりません");
    EXPECT_EQ(MarkedRow(), -1);
    EXPECT_EQ(Find("googlebot"), std::make_pair(1, 0));  // from row 2, around the end
    EXPECT_EQ(Said(), "先頭に戻って見つけました");
    // A character Shift-JIS doesn't have can't be in the pane.
    EXPECT_EQ(Find("😀"), std::make_pair(1, 0));
    EXPECT_EQ(Said(), "Shift-JISにない文字は検索できません");
}

TEST_F(FindBarTest, MarksTheMatchAndScrollsSidewaysToIt) {
    const std::string match = Sjis("ポムリナ");
    const std::string wide = Sjis("Ｗ");
    std::string narrowThenWide(RowGeometry::kMeasuredBytes, 'i');
    for (int i = 0; i < 300000; ++i) narrowThenWide += wide;
    // A line measured whole, then lines of megabytes measured in part: the
    // match in the middle, at the end, and at the end of glyphs twice as wide
    // as the measured part's.
    const struct {
        std::string line;
        std::size_t at;
    } cases[] = {
        {std::string(400, 'a') + match + std::string(400, 'b'), 400},
        {std::string(1000000, 'a') + match + std::string(1000000, 'b'), 1000000},
        {std::string(2000000, 'a') + match, 2000000},
        {narrowThenWide + match, narrowThenWide.size()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.at);
        pane.ReplaceAll(
            std::make_shared<const OwnedLines>(std::vector<std::string>{"short", c.line, "short"}));
        pane.horizontalScrollBar()->setValue(0);
        pane.doItemsLayout();
        EXPECT_EQ(Find("ポムリナ"), std::make_pair(1, static_cast<int>(c.at)));
        const int left = MatchDelegate::TextX(&pane, c.line, c.at);
        const int right = MatchDelegate::TextX(&pane, c.line, c.at + match.size());
        const int shown = pane.horizontalScrollBar()->value();
        EXPECT_GE(left, shown);
        EXPECT_LE(right, shown + pane.viewport()->width());

        // The marker's colour covers the match on its row, and only there
        // (where a line measured in part is drawn is an estimate).
        const bool exact = c.line.size() <= RowGeometry::kMeasuredBytes;
        const QImage image = pane.viewport()->grab().toImage();
        const QRect row = pane.visualRect(pane.model()->index(1, 0));
        int marked = 0, elsewhere = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                if (image.pixelColor(x, y) != QColor(255, 190, 40)) continue;
                const bool inMatch = y >= row.top() && y <= row.bottom() &&
                                     (!exact || (x + shown >= left - 1 && x + shown <= right + 1));
                ++(inMatch ? marked : elsewhere);
            }
        EXPECT_GT(marked, 100);
        EXPECT_EQ(elsewhere, 0);
    }
}

TEST_F(FindBarTest, ShowsTheMatchsPlaceAmongAllAndLeavesRoomToType) {
    bar.Open();
    bar.layout()->activate();
    EXPECT_GE(bar.Text->width(), 16 * bar.Text->fontMetrics().averageCharWidth());

    Fill({"host a host", "x", "host"});
    const auto count = [&](const char* text, bool next = true) {
        Find(text, next);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !bar.Counting(); }, 10000));
        return bar.Count->text().toStdString();
    };
    std::vector<std::string> places;
    for (int i = 0; i < 4; ++i) places.push_back(count("host"));
    EXPECT_EQ(places, (std::vector<std::string>{"1/3件", "2/3件", "3/3件", "1/3件"}));
    EXPECT_EQ(count("host", false), "3/3件");
    EXPECT_EQ(count("absent"), "");
    // The count is forgotten with the lines it was taken from.
    EXPECT_EQ(count("x"), "1/1件");
    pane.Insert(0, "x");
    EXPECT_EQ(bar.Count->text().toStdString(), "");
}

TEST_F(FindBarTest, KeysAndThePlaceBelowTheRows) {
    Fill({"alpha", "beta", "alpha"});
    const int rowsHeight = pane.viewport()->height();
    // Without text, "next" opens the bar for typing.
    bar.FindNext();
    ASSERT_TRUE(bar.isVisible());
    pane.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&pane));
    bar.Open();
    EXPECT_TRUE(bar.Text->hasFocus());
    // The bar takes room from the rows; it covers none of them.
    EXPECT_EQ(bar.geometry().top(), pane.viewport()->geometry().bottom() + 1);
    EXPECT_LT(pane.viewport()->height(), rowsHeight);
    EXPECT_EQ(bar.width(), pane.viewport()->width());

    QTest::keyClicks(bar.Text, "alpha");
    QTest::keyClick(bar.Text, Qt::Key_Return);
    EXPECT_EQ(Where(), std::make_pair(0, 0));
    QTest::keyClick(bar.Text, Qt::Key_Enter);
    EXPECT_EQ(Where(), std::make_pair(2, 0));
    QTest::keyClick(bar.Text, Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_EQ(Where(), std::make_pair(0, 0));
    QTest::keyClick(bar.Text, Qt::Key_Escape);
    EXPECT_FALSE(bar.isVisible());
    EXPECT_EQ(pane.viewport()->height(), rowsHeight);
    EXPECT_TRUE(pane.hasFocus());
    EXPECT_EQ(MarkedRow(), -1);
}

TEST_F(FindBarTest, ALongSearchLetsTheEventLoopRunAndStopsWhenTheLinesChange) {
    std::vector<std::string> lines(3000, "192.0.2.1 - - \"GET / HTTP/1.1\" 200 1");
    lines.back() += " 終点";
    Fill(lines);
    FindBar::SetSlice(50, 0);
    bool eventLoopRan = false;
    QTimer::singleShot(0, [&] { eventLoopRan = true; });
    bar.Text->setText(QString::fromUtf8("終点"));
    bar.FindNext();
    EXPECT_TRUE(bar.Searching());
    EXPECT_EQ(Said(), "検索中...");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !bar.Searching(); }, 10000));
    EXPECT_TRUE(eventLoopRan);
    EXPECT_EQ(Where(), std::make_pair(2999, static_cast<int>(lines[0].size()) + 1));

    // A run replaces the lines mid-search: the search and the marker go.
    bar.Text->setText(QStringLiteral("absent"));
    bar.FindNext();
    ASSERT_TRUE(bar.Searching());
    pane.Clear();
    EXPECT_FALSE(bar.Searching());
    EXPECT_EQ(Where(), std::make_pair(-1, -1));
    EXPECT_EQ(MarkedRow(), -1);
    QTest::qWait(20);
    EXPECT_EQ(Said(), "");
    // Lines inserted above the match move it: it is forgotten as well.
    Fill({"a", "b"});
    EXPECT_EQ(Find("b"), std::make_pair(1, 0));
    pane.Insert(0, "header");
    EXPECT_EQ(Where(), std::make_pair(-1, -1));
}

}  // namespace
}  // namespace pomurina
