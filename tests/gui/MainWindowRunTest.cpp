// Analysis runs in the main window: the state equals the report tool's after
// every kind of run, the views keep up with their panes, the graphs' pixels,
// the progress window and the unit box.
#include <QAbstractItemView>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <filesystem>

#include "CompressTool.h"
#include "ErrorBox.h"
#include "ListManagerWindow.h"
#include "MainWindowFixture.h"
#include "OwnDomainBar.h"
#include "ScopedSeams.h"
#include "widgets/FieldEdit.h"
#include "widgets/GraphImage.h"
#include "widgets/UnitBox.h"

namespace pomurina::guitest {
namespace {

std::vector<std::string> ThreeLines() {
    return {LogLine(14, "GET /index.html", 200, "1536", "192.0.2.1", "http://example.com/"),
            LogLine(2, "POST /form", 404, "10", "192.0.2.2"),
            LogLine(5, "GET /robots.txt", 403, "-", "192.0.2.3")};
}

TEST_F(MainWindowTest, ARunLeavesTheStateTheReportToolWouldShow) {
    const std::string path = WriteLog("three.log", ThreeLines());
    EXPECT_EQ(Run(path), std::nullopt);
    ExpectSameStateAsReference();
    ExpectViewsCaughtUp();
    EXPECT_EQ(form.GetField(FieldId::SummaryConnections).Text(), "3");
    EXPECT_EQ(form.Edit35->text().toStdString(), path);
    EXPECT_EQ(progress.ProgressBar1->value(), 3);
    EXPECT_EQ(progress.ProgressBar1->maximum(), 3);
    EXPECT_FALSE(progress.isVisible());
    EXPECT_EQ(progress.Memo2->blockCount(), 13);
}

TEST_F(MainWindowTest, AnEmptyLogLeavesOnlyTheHeaders) {
    const std::string path = WriteLog("empty.log", {});
    EXPECT_EQ(Run(path), std::nullopt);
    ExpectSameStateAsReference();
    EXPECT_EQ(form.GetPane(PaneId::Memo8).Count(), 2u);
    EXPECT_EQ(form.GetPane(PaneId::POST403Memo).Count(), 3u);
    EXPECT_EQ(form.GetField(FieldId::SummaryHosts).Text(), "0");
    ExpectViewsCaughtUp();
}

TEST_F(MainWindowTest, ASecondRunShowsOnlyItsOwnLinesUnderOneHeader) {
    const std::string first = WriteLog("first.log", ThreeLines());
    const std::string second =
        WriteLog("second.log", {LogLine(9, "GET /b", 404, "5", "198.51.100.7")});
    Run(first);
    Run(second);
    ExpectSameStateAsReference();
    EXPECT_EQ(form.GetPane(PaneId::HOST404Memo).Count(), 4u);
    EXPECT_EQ(progress.Memo2->blockCount(), 26);
    ExpectViewsCaughtUp();
}

TEST_F(MainWindowTest, AnUnreadableLogLeavesTheProgressWindowUp) {
    const std::string good = WriteLog("good.log", ThreeLines());
    Run(good);
    const auto error = Run(home.Path().string());  // a directory
    ASSERT_TRUE(error);
    ExpectSameStateAsReference(error);
    EXPECT_TRUE(progress.isVisible());
    ExpectViewsCaughtUp();
    progress.close();  // the user closes it
    EXPECT_FALSE(progress.IsShown());
}

TEST_F(MainWindowTest, ALogTooLargeForTheMemoryIsSaidInItsBoxAsAFailedLoad) {
    Run(WriteLog("good.log", ThreeLines()));
    std::string text;
    for (int i = 0; i < 60000; ++i)
        text += LogLine(i % 24, "GET /page" + std::to_string(i), 200, "100") + "\n";
    const std::string packed = home.WriteFile("big.log.gz", testing::RunFilter("gzip -1 -n", text));
    const testing::ScopedRunMemory budget(std::size_t{4} << 20);
    const std::string said = "ログ \"" + packed +
                             "\" を読み込むにはメモリが不足しています (少なくとも 5 MB 必要ですが、"
                             "使えるのは 4 MB です)。ほかのプログラムを終了するか、ログを分けて解析"
                             "してください.";
    const auto error = Run(packed);
    EXPECT_EQ(error, Sjis(said.c_str()));
    ExpectSameStateAsReference(error);
    EXPECT_TRUE(progress.isVisible());
    ExpectViewsCaughtUp();
    form.OpenLogs({packed});
    EXPECT_EQ(boxes.Texts(), std::vector<std::string>{said});
}

// The progress window stays up, on top, after a load fails: the box that says
// why must not be under it.
TEST_F(MainWindowTest, TheBoxOfAFailedLoadIsAboveTheProgressWindow) {
    form.show();
    ASSERT_TRUE(Run((home.Path() / "missing.log").string()));
    ASSERT_TRUE(progress.isVisible());
    EXPECT_EQ(BoxOwner(), &progress);

    SetErrorBoxHandler({});  // a real box this time, closed as soon as it shows
    QWidget* owner = nullptr;
    bool onTop = false;
    QTimer::singleShot(0, [&] {
        QWidget* box = QApplication::activeModalWidget();
        if (!box) return;
        owner = box->parentWidget();
        onTop = box->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
        box->close();
    });
    ShowErrorBox(Sjis("ファイルが見つかりません"));
    EXPECT_EQ(owner, &progress);
    EXPECT_TRUE(onTop);

    progress.close();
    EXPECT_EQ(BoxOwner(), QApplication::activeWindow());
}

TEST_F(MainWindowTest, AMissingRobotListStopsTheRunAndNamesTheFile) {
    const std::string good = WriteLog("good.log", ThreeLines());
    Run(good);
    home.RemoveFile("materia/SERobotsList.dat");
    const auto error = Run(good);
    ASSERT_TRUE(error);
    EXPECT_NE(error->find((home.Path() / "materia" / "SERobotsList.dat").string()),
              std::string::npos);
    ExpectSameStateAsReference(error);
    EXPECT_EQ(form.GetPane(PaneId::RobotsLog).Count(), 0u);
    EXPECT_TRUE(progress.isVisible());
    ExpectViewsCaughtUp();
}

TEST_F(MainWindowTest, ABadHourMidLogKeepsTheLivePanesShown) {
    const std::string good = WriteLog("good.log", ThreeLines());
    std::vector<std::string> lines = ThreeLines();
    lines.insert(lines.begin() + 2,
                 "192.0.2.9 - - [05/Mar/2020:?4:05:00 +0900] \"GET /bad HTTP/1.1\" 200 1");
    const std::string bad = WriteLog("bad.log", lines);
    Run(good);
    const auto error = Run(bad);
    ASSERT_TRUE(error);
    EXPECT_EQ(*error, Sjis("'?4' は整数ではありません."));
    ExpectSameStateAsReference(error);
    EXPECT_EQ(form.GetPane(PaneId::Memo4).Count(), 1u);  // the first line's GET
    EXPECT_FALSE(progress.isVisible());
    ExpectViewsCaughtUp();
}

TEST_F(MainWindowTest, ALogTruncatedAfterTheRunIsSaidOnceAndReadAgainOnRequest) {
    // Log rotation by copy and truncate empties the mapped file under a
    // window that shows it: its lines read as empty, and the window says so.
    std::vector<std::string> lines;
    for (int i = 0; i < 3000; ++i)
        lines.push_back(LogLine(i % 24, "GET /page" + std::to_string(i % 50), i % 7 ? 200 : 404,
                                std::to_string(i), "192.0.2." + std::to_string(i % 200)));
    const std::string path = WriteLog("rotated.log", lines);
    Run(path);
    form.SayIfLogShrank();
    const std::size_t boxesBefore = boxes.Texts().size();
    const auto rowsOf = [&](PaneId id) {
        auto& view = dynamic_cast<QAbstractItemView&>(form.GetPane(id));
        QStringList rows;
        for (int row = 0; row < view.model()->rowCount(); ++row)
            rows << view.model()->index(row, 0).data().toString();
        return rows;
    };
    std::filesystem::resize_file(path, 0);
    EXPECT_EQ(rowsOf(PaneId::NamaLog).size(), 3000);
    EXPECT_EQ(rowsOf(PaneId::Memo9).size(), rowsOf(PaneId::Memo9).size());
    form.SayIfLogShrank();
    form.SayIfLogShrank();
    ASSERT_EQ(boxes.Texts().size(), boxesBefore + 1);
    EXPECT_NE(boxes.Texts().back().find("ディスク上で短くなりました"), std::string::npos);
    // The next run reads what the file holds now.
    EXPECT_EQ(Run(path), std::nullopt);
    EXPECT_EQ(form.GetPane(PaneId::NamaLog).Count(), 0u);
    ExpectViewsCaughtUp();
}

bool IsColor(const QImage& image, int x, int y, QRgb color) {
    return image.pixel(x, y) == (color | 0xFF000000u);
}
constexpr QRgb kPink = 0xFF88D0, kWhite = 0xFFFFFF, kGrey = 0x808080, kBlack = 0x000000;

TEST_F(MainWindowTest, WithNoOwnDomainTheReferrerPaneOffersTheHostReferrersNameMost) {
    const std::string path = WriteLog(
        "site.log", {LogLine(1, "GET /a.css", 200, "1", "192.0.2.1", "http://www.example.jp/"),
                     LogLine(1, "GET /b.png", 200, "1", "192.0.2.1", "https://search.example/?q"),
                     LogLine(1, "GET /c.png", 200, "1", "192.0.2.2", "http://www.example.jp/a")});
    EXPECT_EQ(Run(path), std::nullopt);
    OwnDomainBar& bar = *form.OwnDomainOffer;
    ASSERT_FALSE(bar.isHidden());
    EXPECT_EQ(bar.Host(), "www.example.jp");
    EXPECT_TRUE(bar.Message->text().contains(QStringLiteral(" www.example.jp ")));
    ExpectSameStateAsReference();  // an offer, no line of any pane

    // The list manager opens on its own-domain tab with the host typed in.
    TDomein lists;
    Domein = &lists;
    bar.RegisterButton->click();
    EXPECT_TRUE(bar.isHidden());
    EXPECT_TRUE(lists.isVisible());
    EXPECT_EQ(lists.Seet->currentIndex(), 0);
    EXPECT_EQ(lists.InputDomein->text(), "www.example.jp");
    lists.RunButton->click();
    Domein = nullptr;
    // Once a domain is listed, a run offers nothing.
    EXPECT_EQ(Run(path), std::nullopt);
    EXPECT_TRUE(bar.isHidden());
    EXPECT_EQ(boxes.Texts(), std::vector<std::string>{});
}

TEST_F(MainWindowTest, GraphsAreDrawnPixelForPixel) {
    EXPECT_TRUE(form.Image1->Image().isNull());  // nothing before the first run
    Run(WriteLog("three.log", ThreeLines()));
    const QImage& image = form.Image1->Image();
    ASSERT_EQ(image.size(), QSize(297, 255));
    // One line in three: 94 pixels, columns 15 to 108, on rows y + 1 to y + 9.
    for (const int hour : {14, 2, 5}) {
        const int top = hour >= 3 ? 10 * hour - 30 : 10 * hour + 220;
        for (int y = top + 1; y <= top + 9; ++y) {
            EXPECT_TRUE(IsColor(image, 15, y, kPink)) << hour;
            EXPECT_TRUE(IsColor(image, 108, y, kPink)) << hour << " " << y;
            EXPECT_TRUE(IsColor(image, 109, y, kWhite)) << hour << " " << y;
        }
    }
    // Hour 2 is the lowest row: nothing pink below its bar.
    for (int y = 250; y < 255; ++y)
        for (int x = 0; x < 297; ++x) ASSERT_FALSE(IsColor(image, x, y, kPink)) << x << "," << y;
    // The solid axis, and the dotted 50 % line and separator.
    EXPECT_TRUE(IsColor(image, 15, 5, kBlack));
    int greyOnLine = 0, greyOnSeparator = 0;
    for (int y = 0; y < 255; ++y) {
        ASSERT_TRUE(IsColor(image, 156, y, kGrey) || IsColor(image, 156, y, kWhite)) << y;
        greyOnLine += IsColor(image, 156, y, kGrey);
    }
    for (int x = 160; x < 297; ++x) greyOnSeparator += IsColor(image, x, 215, kGrey);
    EXPECT_GT(greyOnLine, 60);
    EXPECT_LT(greyOnLine, 200);
    EXPECT_GT(greyOnSeparator, 30);
    EXPECT_TRUE(IsColor(image, 157, 100, kWhite));
    // The graphs of GET and POST lines measure against all three lines too.
    EXPECT_TRUE(IsColor(form.Image3->Image(), 108, 241, kPink));
    EXPECT_TRUE(IsColor(form.Image3->Image(), 109, 241, kWhite));
}

TEST(GraphImage, DrawsAsTheGraphsCommand) {
    GraphImage image("Image1");
    image.SetPenColor({0, 0, 0});
    image.SetBrushColor({255, 136, 208});
    image.MoveTo(0, 20);
    image.LineTo(5, 20);  // the end point is left out
    EXPECT_TRUE(IsColor(image.Image(), 4, 20, kBlack));
    EXPECT_TRUE(IsColor(image.Image(), 5, 20, kWhite));
    image.Rectangle(10, 10, 15, 14);  // right and bottom edges left out
    EXPECT_TRUE(IsColor(image.Image(), 10, 10, kBlack));
    EXPECT_TRUE(IsColor(image.Image(), 14, 13, kBlack));
    EXPECT_TRUE(IsColor(image.Image(), 12, 12, kPink));
    EXPECT_TRUE(IsColor(image.Image(), 15, 12, kWhite));
    EXPECT_TRUE(IsColor(image.Image(), 12, 14, kWhite));
    image.Rectangle(30, 10, 30, 14);  // empty: nothing
    EXPECT_TRUE(IsColor(image.Image(), 30, 12, kWhite));
    // Text stands on a cell of the brush's colour.
    image.SetBrushColor({255, 255, 255});
    image.Rectangle(40, 0, 80, 30);
    image.SetBrushColor({255, 136, 208});
    image.TextOut(42, 2, "1");
    EXPECT_TRUE(IsColor(image.Image(), 42, 2, kPink));
}

// A log whose successful GET requests add up to total bytes.
std::string VolumeLog(ProgramHome& home, const char* total) {
    return home.WriteFile("volume.log", LogLine(10, "GET /v", 200, total) + "\r\n");
}

TEST_F(MainWindowTest, TheUnitBoxConvertsFromTheFieldsText) {
    Run(VolumeLog(home, "1536"));
    EXPECT_EQ(form.GetField(FieldId::TransferVolume).Text(), "1536");
    const std::pair<int, const char*> units[] = {{1, "1.5"},
                                                 {0, "1536"},
                                                 {2, "0.00146484375"},
                                                 {0, "1536"},
                                                 {3, "1.43051147460938E-6"},
                                                 {0, "1536.00000000001"}};
    for (const auto& [index, text] : units) {
        form.byteName->setCurrentIndex(index);
        EXPECT_EQ(form.GetField(FieldId::TransferVolume).Text(), text) << index;
        EXPECT_EQ(form.LastByteUnit(), index);
    }
    form.byteName->setCurrentIndex(1);
    Run(VolumeLog(home, "123456789"));
    EXPECT_EQ(form.GetField(FieldId::TransferVolume).Text(), "120563.270507813");
    form.byteName->setCurrentIndex(2);
    EXPECT_EQ(form.GetField(FieldId::TransferVolume).Text(), "117.737568855286");
    form.byteName->setCurrentIndex(0);
    form.byteName->setCurrentIndex(3);
    EXPECT_EQ(form.GetField(FieldId::TransferVolume).Text(), "0.11497809458524");
    EXPECT_TRUE(boxes.Texts().empty());
}

TEST_F(MainWindowTest, TypingIntoTheUnitBoxChoosesNoItem) {
    form.byteName->setCurrentIndex(2);  // before any run: nothing happens
    EXPECT_EQ(form.GetField(FieldId::TransferVolume).Text(), "-");
    EXPECT_EQ(form.LastByteUnit(), kNoUnitYet);
    form.byteName->setCurrentIndex(0);
    Run(VolumeLog(home, "1536"));

    form.show();
    QApplication::setActiveWindow(&form);
    QLineEdit* typing = form.byteName->lineEdit();
    typing->setFocus();
    typing->selectAll();
    QTest::keyClicks(typing, "k");
    EXPECT_EQ(typing->text(), "kb");  // completed, case ignored
    EXPECT_EQ(form.ByteName().ItemIndex(), -1);
    EXPECT_EQ(form.LastByteUnit(), -1);
    QTest::keyClick(typing, Qt::Key_Return);
    typing->clearFocus();
    EXPECT_EQ(form.ByteName().ItemIndex(), -1);
    EXPECT_EQ(form.GetField(FieldId::TransferVolume).Text(), "1536");

    // Choosing an item afterwards only records it.
    form.byteName->setCurrentIndex(3);
    EXPECT_EQ(form.GetField(FieldId::TransferVolume).Text(), "1536");
    EXPECT_EQ(form.LastByteUnit(), 3);
    EXPECT_TRUE(boxes.Texts().empty());
}

}  // namespace
}  // namespace pomurina::guitest
