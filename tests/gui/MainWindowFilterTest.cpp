// The filter bar of the analysis window: applying it analyses the held
// lines again and leaves the state the report tool shows for the same
// filter read from the files; a filter keeping nothing leaves the results
// as they were; the day rows, the presets, 解除 and 再解析 set what is applied.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QToolButton>

#include "InsightWindow.h"
#include "MainWindowFixture.h"
#include "analysis/LogCounting.h"
#include "io/DataFolder.h"
#include "widgets/FieldEdit.h"
#include "widgets/FilterBar.h"
#include "widgets/InsightModels.h"
#include "widgets/PaneView.h"

namespace pomurina::guitest {
namespace {

class FilterTest : public BothWindowsTest {
protected:
    // Four days of March 2020; a robot, two hosts, pages under /blog/, a 404.
    std::string Log() {
        const auto line = [](int day, const char* host, const char* path, int status,
                             const char* agent) {
            char time[40];
            std::snprintf(time, sizeof time, "[%02d/Mar/2020:10:00:00 +0900]", day);
            return std::string(host) + " - - " + time + " \"GET " + path + " HTTP/1.1\" " +
                   std::to_string(status) + " 10 \"-\" \"" + agent + "\"";
        };
        return WriteLog("f.log", {line(3, "198.51.100.7", "/blog/a", 200, "Mozilla/5.0"),
                                  line(4, "own.example", "/blog/b", 200, "Mozilla/5.0"),
                                  line(4, "198.51.100.8", "/gone", 404, "Googlebot/2.1"),
                                  line(5, "198.51.100.7", "/blog/c?x", 304, "Mozilla/5.0"),
                                  line(6, "198.51.100.9", "/top", 200, "Mozilla/5.0")});
    }
    // The report tool's state for the log read from its file with filter.
    std::string ReferenceDumpWith(const std::string& path, const LineFilter& filter) {
        MemoryWindow window;
        LogCounting(window, std::vector<std::string>{path}, RunPlaces{DataFolder(), "materia"}, {},
                    filter);
        return DumpOf(window);
    }
    FilterBar& Bar() { return *insight.Filter; }
    void CheckStatus(int hundreds) {
        Bar().Status->menu()->actions()[hundreds - 2]->setChecked(true);
    }
};

QDate March(int day) {
    return QDate(2020, 3, day);
}

TEST_F(FilterTest, ApplyingLeavesTheStateTheReportToolShowsForTheSameFilter) {
    const std::string log = Log();
    home.WriteFile("materia/ExcludeHosts.dat", "own.example\n198.51.100.8/32\n");
    ASSERT_EQ(Run(log), std::nullopt);
    const std::string unfiltered = DumpOf(form);
    EXPECT_EQ(Bar().FirstDay->date(), March(3));
    EXPECT_EQ(Bar().LastDay->date(), March(6));
    const struct {
        const char* name;
        std::function<void()> choose;
        LineFilter filter;
    } cases[] = {
        {"period",
         [&] {
             Bar().FirstDay->setDate(March(4));
             Bar().LastDay->setDate(March(5));
         },
         [] {
             LineFilter f;
             f.firstDay = *ParseDayText("2020-03-04");
             f.lastDay = *ParseDayText("2020-03-05");
             return f;
         }()},
        {"humans", [&] { Bar().Humans->setChecked(true); },
         [] {
             LineFilter f;
             f.humansOnly = true;
             return f;
         }()},
        {"path and status",
         [&] {
             Bar().Path->setText(" /blog/ ");
             CheckStatus(2);
             CheckStatus(3);
         },
         [] {
             LineFilter f;
             f.pathPrefix = "/blog/";
             f.statusClasses = 0b1100;
             return f;
         }()},
        {"excluded hosts", [&] { Bar().ExcludeHosts->setChecked(true); },
         [&] {
             LineFilter f;
             f.excludedHosts =
                 std::make_shared<const HostList>(HostList::Parse("own.example\n198.51.100.8/32"));
             return f;
         }()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Bar().Reset();
        c.choose();
        Bar().Apply->click();
        ASSERT_TRUE(form.LastRun());
        EXPECT_EQ(WithoutProgressLines(DumpOf(form)),
                  WithoutProgressLines(ReferenceDumpWith(log, c.filter)));
        const QString applied = QString::fromStdString("（" + c.filter.Description() + "）");
        EXPECT_TRUE(form.windowTitle().endsWith(applied)) << form.windowTitle().toStdString();
        EXPECT_TRUE(insight.windowTitle().endsWith(applied));
    }
    // 解除 shows every line again, as the first run did.
    Bar().Clear->click();
    EXPECT_EQ(WithoutProgressLines(DumpOf(form)), WithoutProgressLines(unfiltered));
    EXPECT_EQ(form.windowTitle().toStdString(), "ポムリナ - f.log");
    EXPECT_TRUE(boxes.Texts().empty());
}

TEST_F(FilterTest, AFilterKeepingNothingSaysSoAndLeavesTheResults) {
    ASSERT_EQ(Run(Log()), std::nullopt);
    const std::string before = DumpOf(form);
    Bar().Path->setText("/nothing/");
    Bar().Apply->click();
    EXPECT_EQ(DumpOf(form), before);
    ASSERT_EQ(boxes.Texts().size(), 1u);
    EXPECT_EQ(
        boxes.Texts()[0],
        "絞り込み（パス /nothing/）に合う行がログにありません。期間や条件を確かめてください。");
    // An empty excluded-hosts list is said before anything runs.
    Bar().Reset();
    Bar().ExcludeHosts->setChecked(true);
    Bar().Apply->click();
    ASSERT_EQ(boxes.Texts().size(), 2u);
    EXPECT_NE(boxes.Texts()[1].find("除外ホストのリストが空です"), std::string::npos);
    EXPECT_EQ(DumpOf(form), before);
}

TEST_F(FilterTest, DayRowsPresetsAndReanalysingSetThePeriod) {
    const std::string log = Log();
    ASSERT_EQ(Run(log), std::nullopt);
    insight.Models();
    QTableView* days = insight.View("days");
    days->setModel(insight.Models()->Find("days"));
    days->selectionModel()->select(days->model()->index(1, 0),
                                   QItemSelectionModel::Select | QItemSelectionModel::Rows);
    days->selectionModel()->select(days->model()->index(2, 0),
                                   QItemSelectionModel::Select | QItemSelectionModel::Rows);
    insight.FilterToSelectedDays(*days);
    ASSERT_TRUE(form.LastRun());
    EXPECT_EQ(form.LastRun()->filter.Description(), "期間 2020-03-04〜2020-03-05");
    // The bar keeps the whole log's days as bounds while a period is applied.
    EXPECT_EQ(Bar().FirstDay->minimumDate(), March(3));
    EXPECT_EQ(Bar().LastDay->maximumDate(), March(6));
    // 再解析 reads the files and applies the same filter again.
    form.ReanalyseR1Click();
    EXPECT_EQ(WithoutProgressLines(DumpOf(form)),
              WithoutProgressLines(ReferenceDumpWith(log, form.LastRun()->filter)));
    EXPECT_EQ(form.LastRun()->filter.Description(), "期間 2020-03-04〜2020-03-05");
    EXPECT_EQ(Bar().FirstDay->date(), March(4));
    const struct {
        const char* preset;
        int first, last;
    } presets[] = {{"最終日", 6, 6}, {"直近7日", 3, 6}, {"最終日の月", 3, 6}, {"全期間", 3, 6}};
    for (const auto& p : presets) {
        const int index = Bar().Presets->findText(QString::fromUtf8(p.preset));
        ASSERT_GE(index, 0) << p.preset;
        Bar().Presets->activated(index);
        EXPECT_EQ(Bar().FirstDay->date(), March(p.first)) << p.preset;
        EXPECT_EQ(Bar().LastDay->date(), March(p.last)) << p.preset;
    }
    Bar().Presets->activated(Bar().Presets->findText(QString::fromUtf8("その前の月")));
    ASSERT_EQ(boxes.Texts().size(), 1u);
    EXPECT_EQ(boxes.Texts()[0], "ログには「その前の月」の日の行がありません。");
    // Opening a log anew applies nothing.
    ASSERT_EQ(Run(log), std::nullopt);
    EXPECT_FALSE(form.LastRun()->filter.IsSet());
    EXPECT_EQ(Bar().FirstDay->date(), March(3));
}

TEST_F(FilterTest, AVirtualHostLogShowsItsFileLinesAndFiltersByHost) {
    std::vector<std::string> lines;
    for (const char* site : {"a.example:80", "b.example:443", "a.example:80"})
        lines.push_back(std::string(site) +
                        " 198.51.100.7 - - [04/Mar/2020:10:00:00 +0900] \"GET /x HTTP/1.1\" 200 10 "
                        "\"-\" \"Mozilla/5.0\"");
    const std::string log = WriteLog("v.log", lines);
    ASSERT_EQ(ErrorOf([&] { form.LogCounting(log); }), std::nullopt);
    std::string scratch;
    ASSERT_EQ(form.NamaLog->Lines().Count(), 3u);
    EXPECT_EQ(form.NamaLog->Lines().Line(1, scratch), lines[1]);  // as the file has it
    EXPECT_TRUE(form.Edit35->Text().ends_with(" (vhost)"));
    EXPECT_FALSE(Bar().VirtualHost->isHidden());
    EXPECT_EQ(Bar().VirtualHost->count(), 3);  // every host, a.example, b.example
    Bar().VirtualHost->setEditText("b.example");
    Bar().Apply->click();
    LineFilter vhost;
    vhost.vhost = "b.example";
    EXPECT_EQ(WithoutProgressLines(DumpOf(form)),
              WithoutProgressLines(ReferenceDumpWith(log, vhost)));
    Bar().VirtualHost->setEditText("bad host");
    Bar().Apply->click();
    EXPECT_NE(boxes.Texts().back().find("バーチャルホストの名前として読めません"),
              std::string::npos);
}

}  // namespace
}  // namespace pomurina::guitest
