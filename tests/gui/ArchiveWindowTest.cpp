// The log archive in the window: importing says what was kept, the open
// dialog lists the months and marks the days kept, and a period opened from
// the archive is analysed as the report tool analyses its day files.
#include <QCalendarWidget>
#include <QComboBox>
#include <QDateEdit>
#include <QListWidget>

#include "ArchiveDialogs.h"
#include "InsightWindow.h"
#include "MainWindowFixture.h"
#include "analysis/LogCounting.h"
#include "archive/FetchedLogs.h"
#include "io/DataFolder.h"
#include "widgets/FilterBar.h"

namespace pomurina::guitest {
namespace {

class ArchiveTest : public BothWindowsTest {
protected:
    // Two lines a day, 3 to 6 March 2020.
    std::string Log() {
        std::vector<std::string> lines;
        for (int day = 3; day <= 6; ++day)
            for (const char* path : {"/a", "/b"})
                lines.push_back("192.0.2." + std::to_string(day) + " - - [0" + std::to_string(day) +
                                "/Mar/2020:10:00:00 +0900] \"GET " + path +
                                " HTTP/1.1\" 200 10 \"-\" \"Mozilla/5.0\"");
        return WriteLog("site.log", lines);
    }
};

TEST_F(ArchiveTest, ImportedDaysOpenAsTheReportToolReadsThem) {
    ImportIntoArchive("example.jp", {Log()});
    ImportIntoArchive("example.jp", {Log()});  // again: nothing more
    ASSERT_EQ(boxes.Texts().size(), 2u);
    EXPECT_NE(boxes.Texts()[0].find("アーカイブ「example.jp」に取り込みました"), std::string::npos);
    EXPECT_NE(boxes.Texts()[0], boxes.Texts()[1]);
    const auto days = ArchiveDays(DataFolder(), "example.jp");
    ASSERT_EQ(days.size(), 4u);

    ArchiveOpenDialog dialog;
    EXPECT_EQ(dialog.Sites->currentText().toStdString(), "example.jp");
    ASSERT_EQ(dialog.Months->count(), 1);
    EXPECT_TRUE(dialog.Months->item(0)->text().startsWith(QStringLiteral("2020-03")));
    EXPECT_EQ(dialog.FirstDay->date(), QDate(2020, 3, 3));
    EXPECT_EQ(dialog.LastDay->date(), QDate(2020, 3, 6));
    const QCalendarWidget* calendar = dialog.FirstDay->calendarWidget();
    EXPECT_EQ(calendar->dateTextFormat(QDate(2020, 3, 4)).fontWeight(), QFont::Bold);
    EXPECT_NE(calendar->dateTextFormat(QDate(2020, 3, 7)).fontWeight(), QFont::Bold);

    const DayRange period{days[1].day, days[2].day};
    form.OpenArchive("example.jp", period);
    LogCounting(reference, std::vector<std::string>{days[1].path, days[2].path},
                RunPlaces{DataFolder(), "materia"});
    EXPECT_EQ(WithoutProgressLines(DumpOf(form)), WithoutProgressLines(DumpOf(reference)));
    EXPECT_EQ(form.windowTitle().toStdString(),
              "ポムリナ - アーカイブ example.jp（2020-03-04〜2020-03-05）");
    EXPECT_EQ(insight.Filter->FirstDay->date(), QDate(2020, 3, 4));
    EXPECT_EQ(insight.Filter->LastDay->date(), QDate(2020, 3, 5));
    // A period the archive keeps no day of is said, and changes nothing.
    form.OpenArchive("example.jp", {period.last + 10, period.last + 20});
    EXPECT_NE(boxes.Texts().back().find("の日がありません"), std::string::npos);
    EXPECT_EQ(WithoutProgressLines(DumpOf(form)), WithoutProgressLines(DumpOf(reference)));
}

TEST(ArchiveSite, IsTheServersHost) {
    const struct {
        const char *server, *site;
    } cases[] = {{"example.jp", "example.jp"},
                 {"example.jp:2121", "example.jp"},
                 {"[2001:db8::1]:22", "2001:db8::1"},
                 {"", ""}};
    for (const auto& c : cases) EXPECT_EQ(SiteOfServer(c.server), c.site) << c.server;
}

}  // namespace
}  // namespace pomurina::guitest
