// The analysis window and its tables, offscreen: the tables sort as a
// plain sort of the insight's rows would (numbers as numbers, equal rows in
// the insight's order), the share column, decoded paths, the CSV bytes, the
// empty state, tables made only when the window is shown, and the size kept.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QStackedWidget>
#include <QTableView>
#include <QTest>
#include <algorithm>
#include <fstream>
#include <numeric>
#include <sstream>

#include "ErrorBox.h"
#include "InsightWindow.h"
#include "ListManagerWindow.h"
#include "ProgramDir.h"
#include "SaveDialog.h"
#include "WindowKit.h"
#include "text/Cp932.h"
#include "widgets/InsightModels.h"

namespace pomurina {
namespace {

std::shared_ptr<const Insight> HandMade() {
    auto insight = std::make_shared<Insight>();
    insight->totals.hits = 129;
    insight->totals.firstDay = 18326;
    insight->totals.lastDay = 18327;
    insight->days = {{18326, 100, 10, 5, 3, 1000, 2}, {18327, 29, 3, 2, 2, 500, 0}};
    // Hits 100, 10 and 9 sort 9 < 10 < 100 as numbers, not as text.
    insight->hosts = {{"b.example", 100, 3, 50, {18326, 10, 0, 0}},
                      {Utf8ToCp932("日本.example"), 10, 1, 900, {18327, 9, 0, 0}},
                      {"a.example", 10, 2, 7, {18326, 23, 59, 60}},
                      {"c.example", 9, 0, 7, {18327, 0, 0, 1}}};
    insight->pages = {{"/%E6%97%A5%E6%9C%AC", 20, 4, 100, 1, 3},
                      {Utf8ToCp932("/日本語"), 5, 1, 10, 4, 0},
                      {"/bad%zz", 4, 1, 1, 0, 1}};
    return insight;
}

// The insight's row indices ordered by key, equal ones in the insight's order.
template <typename Key>
std::vector<std::size_t> PlainOrder(std::size_t rows, Key key, bool descending) {
    std::vector<std::size_t> order(rows);
    std::iota(order.begin(), order.end(), 0u);
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return descending ? key(b) < key(a) : key(a) < key(b);
    });
    return order;
}

std::vector<std::size_t> ShownOrder(const InsightTableModel& model) {
    std::vector<std::size_t> order;
    for (int r = 0; r < model.rowCount(); ++r) order.push_back(model.SourceRow(r));
    return order;
}

TEST(InsightTableModel, SortsEveryColumnAsAPlainSortOfTheRows) {
    const auto insight = HandMade();
    const InsightModels models(insight);
    InsightTableModel& hosts = *models.Find("hosts");
    const auto& rows = insight->hosts;
    using Key = std::function<std::string(std::size_t)>;
    const auto number = [](std::int64_t v) {  // fixed width: text order is number order
        char text[24];
        std::snprintf(text, sizeof text, "%020lld", static_cast<long long>(v));
        return std::string(text);
    };
    // View column (with the share after hits), and the same order the plain way.
    const std::pair<int, Key> cases[] = {
        {0, [&](std::size_t r) { return rows[r].host; }},
        {1, [&](std::size_t r) { return number(rows[r].hits); }},
        {2, [&](std::size_t r) { return number(rows[r].hits); }},  // the share
        {3, [&](std::size_t r) { return number(rows[r].pages); }},
        {4, [&](std::size_t r) { return number(rows[r].bytes); }},
        {5, [&](std::size_t r) { return SeenTimeText(rows[r].lastSeen); }},
    };
    for (const auto& [column, key] : cases)
        for (const bool descending : {false, true}) {
            hosts.sort(column, descending ? Qt::DescendingOrder : Qt::AscendingOrder);
            EXPECT_EQ(ShownOrder(hosts), PlainOrder(rows.size(), key, descending))
                << "column " << column << (descending ? " descending" : " ascending");
        }
    hosts.sort(-1, Qt::AscendingOrder);
    EXPECT_EQ(ShownOrder(hosts), (std::vector<std::size_t>{0, 1, 2, 3}));
    hosts.sort(1, Qt::AscendingOrder);
    EXPECT_EQ(hosts.index(0, 1).data().toString(), QStringLiteral("9"));
    EXPECT_EQ(hosts.index(3, 1).data().toString(), QStringLiteral("100"));
}

TEST(InsightTableModel, InTheBackgroundTheOldOrderStaysUntilTheLastSortAskedIsMade) {
    const InsightModels models(HandMade());
    InsightTableModel& hosts = *models.Find("hosts");
    InsightTableModel::SetBackgroundFrom(0);
    hosts.sort(1, Qt::AscendingOrder);
    hosts.sort(0, Qt::DescendingOrder);  // asked while the first is made
    EXPECT_TRUE(hosts.Sorting());
    EXPECT_EQ(ShownOrder(hosts), (std::vector<std::size_t>{0, 1, 2, 3}));
    QTRY_VERIFY(!hosts.Sorting());
    InsightTableModel::SetBackgroundFrom(200000);
    const auto made = HandMade();
    const auto& rows = made->hosts;
    EXPECT_EQ(ShownOrder(hosts),
              PlainOrder(
                  rows.size(), [&](std::size_t r) { return rows[r].host; }, true));
}

TEST(InsightTableModel, ShowsSharesGroupedNumbersAndDecodedPaths) {
    const InsightModels models(HandMade());
    const InsightTableModel& hosts = *models.Find("hosts");
    EXPECT_EQ(hosts.headerData(2, Qt::Horizontal, Qt::DisplayRole).toString(), u"割合"_qs);
    EXPECT_EQ(hosts.index(0, 2).data().toString(), u"77.5%"_qs);  // 100 of 129
    EXPECT_DOUBLE_EQ(hosts.index(0, 2).data(InsightTableModel::kShareRole).toDouble(), 100.0 / 129);
    EXPECT_EQ(hosts.index(0, 4).data().toString(), u"50"_qs);
    EXPECT_EQ(hosts.index(1, 4).data().toString(), u"900"_qs);
    EXPECT_EQ(hosts.index(1, 0).data().toString(), u"日本.example"_qs);
    EXPECT_EQ(hosts.index(2, 5).data().toString(), u"2020-03-05 23:59:60"_qs);
    const InsightTableModel& pages = *models.Find("pages");
    const std::pair<int, std::pair<QString, QString>> cells[] = {
        {0, {u"/日本"_qs, u"/%E6%97%A5%E6%9C%AC"_qs}},  // decoded, the raw form in the tooltip
        {1, {u"/日本語"_qs, QString()}},                // Shift-JIS as it is
        {2, {u"/bad%zz"_qs, QString()}},                // no percent encoding after all
    };
    for (const auto& [row, texts] : cells) {
        EXPECT_EQ(pages.index(row, 0).data().toString(), texts.first) << row;
        EXPECT_EQ(pages.index(row, 0).data(Qt::ToolTipRole).toString(), texts.second) << row;
    }
    const InsightTableModel& entries = *models.Find("entries");
    EXPECT_EQ(entries.columnCount(), 3);
    EXPECT_EQ(entries.index(1, 1).data().toString(), u"4"_qs);
    EXPECT_EQ(models.Find("exits")->index(0, 1).data().toString(), u"3"_qs);
    EXPECT_EQ(models.Find("no such table"), nullptr);
}

TEST(InsightTableModel, FindsTheNextRowShowingTheTextAroundTheEnd) {
    const InsightModels models(HandMade());
    InsightTableModel& hosts = *models.Find("hosts");
    hosts.sort(0, Qt::AscendingOrder);  // a, b, c, 日本 (by bytes)
    const std::tuple<QString, int, std::optional<int>> cases[] = {
        {u"EXAMPLE"_qs, -1, 0},  // case ignored, from the top
        {u"example"_qs, 0, 1},
        {u"example"_qs, 3, 0},  // around the end
        {u"日本"_qs, -1, 3},    // decoded from Shift-JIS
        {u"c."_qs, 2, 2},       // the only one: found again
        {u"zzz"_qs, -1, std::nullopt},
        {QString(), -1, std::nullopt},
    };
    for (const auto& [text, after, row] : cases)
        EXPECT_EQ(hosts.FindRow(text, after), row) << text.toStdString() << " after " << after;
    EXPECT_EQ(models.Find("pages")->FindRow(u"/日本"_qs, -1), 0);  // the percent form decoded
}

class InsightWindowTest : public ::testing::Test {
protected:
    InsightWindowTest() {
        SetErrorBoxHandler([this](const std::string& text) { boxes.push_back(text); });
    }
    ~InsightWindowTest() override {
        SetErrorBoxHandler({});
        SetSaveFileChooser(nullptr);
    }
    std::shared_ptr<const RunResult> Run() {
        auto run = std::make_shared<RunResult>();
        run->insight = HandMade();
        return run;
    }
    std::string Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        return bytes.str();
    }

    testing::ProgramDir home;
    std::vector<std::string> boxes;
};

TEST_F(InsightWindowTest, SaysSoBeforeAnyRunAndMakesItsTablesOnlyWhenShown) {
    TInsight window;
    const auto* empty = window.findChild<QLabel*>(QStringLiteral("EmptyText"));
    ASSERT_NE(empty, nullptr);
    EXPECT_TRUE(empty->text().startsWith(u"まだ解析していません"_qs));
    window.ShowRun(Run(), 0);
    EXPECT_EQ(window.View("hosts")->model(), nullptr);  // hidden: nothing made yet
    window.show();
    ASSERT_NE(window.View("hosts")->model(), nullptr);
    EXPECT_EQ(window.View("hosts")->model()->rowCount(), 4);
    EXPECT_EQ(window.findChild<QLabel*>(QStringLiteral("Period"))->text(),
              u"期間: 2020-03-05 〜 2020-03-06（2日間）"_qs);
    EXPECT_EQ(window.PageList->count(), window.Pages->count());
    window.PageList->setCurrentRow(12);  // ホスト
    window.FindText->setText(u"A.EX"_qs);
    window.FindNextClick();
    EXPECT_EQ(window.View("hosts")->currentIndex().row(), 2);
    window.ShowRun(nullptr, 0);
    EXPECT_EQ(window.View("hosts")->model(), nullptr);
    EXPECT_TRUE(empty->isVisible());
}

TEST_F(InsightWindowTest, SavesTheTableAsShownAsUtf8CsvWithAByteOrderMark) {
    TInsight window;
    window.ShowRun(Run(), 0);
    window.show();
    window.PageList->setCurrentRow(12);  // ホスト
    window.View("hosts")->sortByColumn(1, Qt::AscendingOrder);
    const std::string path = (home.Path() / "hosts.csv").string();
    std::vector<std::string> offered;
    SetSaveFileChooser([&](QWidget*, const std::string& suggested) {
        offered.push_back(suggested);
        return std::optional<std::string>(path);
    });
    window.SaveCsvClick();
    EXPECT_EQ(offered, std::vector<std::string>{"hosts.csv"});
    const std::string saved = Read(path);
    EXPECT_EQ(saved,
              "\xEF\xBB\xBF"
              "ホスト,ヒット,ページ,バイト,最終アクセス\r\n"
              "c.example,9,0,7,2020-03-06 00:00:01\r\n"
              "日本.example,10,1,900,2020-03-06 09:00:00\r\n"
              "a.example,10,2,7,2020-03-05 23:59:60\r\n"
              "b.example,100,3,50,2020-03-05 10:00:00\r\n");
    // A file that can't be written is said so, and nothing is left half written.
    SetSaveFileChooser([&](QWidget*, const std::string&) {
        return std::optional<std::string>(path + "/under-a-file.csv");
    });
    Guarded([&] { window.SaveCsvClick(); });
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(Cp932ToUtf8(boxes[0]).find("under-a-file.csv"), std::string::npos);
    EXPECT_EQ(Read(path), saved);
}

// The host of the current row goes to the list manager's excluded hosts,
// typed in and not yet registered; other tables don't offer it.
TEST_F(InsightWindowTest, AHostRowIsOfferedToTheExcludedHosts) {
    TDomein manager;
    Domein = &manager;
    TInsight window;
    window.ShowRun(Run(), 0);
    window.show();
    QTableView* hosts = window.View("hosts");
    hosts->setCurrentIndex(hosts->model()->index(1, 2));
    const auto offer = [](QTableView* view) {
        for (QAction* action : view->actions())
            if (action->objectName() == u"ExcludeHost"_qs) return action;
        return static_cast<QAction*>(nullptr);
    };
    ASSERT_NE(offer(hosts), nullptr);
    EXPECT_EQ(offer(window.View("pages")), nullptr);
    offer(hosts)->trigger();
    EXPECT_EQ(manager.Seet->currentIndex(), 3);
    EXPECT_EQ(manager.InputDomein->text(), hosts->model()->index(1, 0).data().toString());
    EXPECT_FALSE(manager.InputDomein->text().isEmpty());
    EXPECT_EQ(manager.ExcludeHosts->count(), 0);
    Domein = nullptr;
}

TEST_F(InsightWindowTest, RemembersItsSizeAndWhetherItOpensAfterARun) {
    EXPECT_TRUE(TInsight::OpensAfterRun());
    {
        TInsight window;
        EXPECT_EQ(window.size(), QSize(1100, 760));
        window.show();
        window.resize(900, 600);
        window.findChild<QCheckBox*>("AfterRun")->setChecked(false);
        window.close();
    }
    EXPECT_FALSE(TInsight::OpensAfterRun());
    TInsight again;
    EXPECT_EQ(again.size(), QSize(900, 600));
}

}  // namespace
}  // namespace pomurina
