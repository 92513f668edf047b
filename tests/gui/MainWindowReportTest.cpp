// The main window's command "レポートを保存(&S)…": it saves the HTML report of
// the results shown, and only when there are results to save.
#include <QAction>
#include <filesystem>

#include "MainWindowFixture.h"
#include "SaveDialog.h"
#include "widgets/UnitBox.h"

namespace pomurina::guitest {
namespace {

// Answers the save dialog with a path (or a cancel) and remembers what it was offered.
class SaveAnswer {
public:
    SaveAnswer() {
        SetSaveFileChooser([this](QWidget*, const std::string& suggested) {
            offered.push_back(suggested);
            return answer;
        });
    }
    ~SaveAnswer() { SetSaveFileChooser(nullptr); }
    SaveAnswer(const SaveAnswer&) = delete;
    SaveAnswer& operator=(const SaveAnswer&) = delete;

    std::optional<std::string> answer;
    std::vector<std::string> offered;
};

bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

TEST_F(MainWindowTest, SavingAReportNeedsResults) {
    SaveAnswer save;
    save.answer = (home.Path() / "report.html").string();
    form.SaveS1->trigger();
    ASSERT_EQ(boxes.Texts().size(), 1u);
    EXPECT_EQ(boxes.Texts()[0], "保存できる集計結果がありません。先にログを読み込んでください。");
    EXPECT_TRUE(save.offered.empty());

    // A run that stops leaves no results either, even after one that went well.
    Run(WriteLog("good.log", {LogLine(9, "GET /a", 200, "10")}));
    EXPECT_EQ(form.LastRun()->summary.transferBytes, 10.0);
    ASSERT_TRUE(form.LastRun()->insight);  // kept for the window that shows it
    EXPECT_EQ(form.LastRun()->insight->totals.hits, 1);
    // A log of no format the window knows is said to be read as combined,
    // once, even when the rules then fail it.
    const std::string bad = WriteLog("bad.log", {"no time stamp"});
    Run(bad);
    Run(bad);
    EXPECT_EQ(form.LastRun(), nullptr);
    ASSERT_EQ(boxes.Texts().size(), 2u);
    EXPECT_TRUE(Has(boxes.Texts()[1], "ログ \"bad.log\" の先頭の行は、読める形式（combined、"))
        << boxes.Texts()[1];
    form.SaveS1->trigger();
    ASSERT_EQ(boxes.Texts().size(), 3u);
    EXPECT_EQ(boxes.Texts()[2], boxes.Texts()[0]);
    EXPECT_FALSE(std::filesystem::exists(*save.answer));
}

TEST_F(MainWindowTest, SavingAReportWritesTheResultsShownWhereTheUserSays) {
    SaveAnswer save;
    const std::string log =
        WriteLog("june.log", {LogLine(9, "GET /a", 200, "2048"), LogLine(14, "GET /b", 404, "1")});
    Run(log);
    form.byteName->setCurrentIndex(1);  // the report shows what the window shows: Kb

    form.SaveS1->trigger();  // cancelled
    ASSERT_EQ(save.offered, std::vector<std::string>{(home.Path() / "june.html").string()});
    EXPECT_FALSE(std::filesystem::exists(home.Path() / "june.html"));

    save.answer = (home.Path() / "kept.html").string();
    form.SaveS1->trigger();
    EXPECT_TRUE(boxes.Texts().empty());
    const std::string html = testing::ReadFileBytes(*save.answer);
    EXPECT_TRUE(Has(html, "<dd class=\"file\">" + log + "</dd>"));
    EXPECT_TRUE(Has(html, "<td data-key=\"connections.total\">2</td>"));
    EXPECT_TRUE(Has(html, "<span data-key=\"transfer.shown\">2</span> <span class=\"unit\">Kb"));
    EXPECT_TRUE(Has(html, "(2048 byte)"));
    EXPECT_TRUE(Has(html, "data-pane=\"get_404\" data-lines=\"1\""));
    EXPECT_TRUE(Has(html,
                    "<section class=\"insight\" id=\"i-not_found\" data-table=\"not_found\" "
                    "data-rows=\"1\">"));

    save.answer = log;  // never over the log itself
    form.SaveS1->trigger();
    ASSERT_EQ(boxes.Texts().size(), 1u);
    EXPECT_TRUE(Has(boxes.Texts()[0], "解析したログそのものです を作成できません."));
    EXPECT_EQ(testing::ReadFileBytes(log).rfind("192.0.2.1", 0), 0u);
}

}  // namespace
}  // namespace pomurina::guitest
