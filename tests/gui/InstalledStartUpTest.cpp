// Start-up of an installed program: no materia/ beside it, so every window
// keeps its data in the user's data folder.  And Qt's own texts in Japanese.
#include <gtest/gtest.h>

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <memory>

#include "FtpWindow.h"
#include "GuiTestKit.h"
#include "InstalledTree.h"
#include "ListManagerWindow.h"
#include "MainWindow.h"
#include "StartUp.h"
#include "StartedWindows.h"
#include "io/DataFolder.h"
#include "io/FileIo.h"
#include "text/TextList.h"

namespace pomurina::guitest {
namespace {

namespace fs = std::filesystem;

// An installed tree (bin/ beside share/pomurina/materia) and a home of its
// own; XDG_DATA_HOME is unset.  Everything is put back at the end.
class InstalledStartUp : public ::testing::Test, public testing::InstalledTree {
protected:
    InstalledStartUp() {
        fs::copy(fs::path(POMURINA_SOURCE_DIR) / "defaults/materia",
                 prefix.Path() / "share/pomurina/materia");
        fs::current_path("/");
    }
    fs::path data = home.Path() / ".local/share/pomurina";
    CaughtBoxes boxes;
    StartedWindows windows;
};

TEST_F(InstalledStartUp, EveryWindowFindsItsDataInTheHomeFolder) {
    ASSERT_TRUE(StartUp(ProgramDirectory(), windows));
    // The list manager read its three lists and the FTP window its settings.
    EXPECT_TRUE(boxes.Texts().empty());
    EXPECT_EQ(fs::current_path(), data);
    TextList owned;
    owned.LoadFromFile((data / "materia/DomeinList.dat").string());
    EXPECT_EQ(Domein->ResistList->count(), static_cast<int>(owned.Count()));
    EXPECT_TRUE(fs::is_directory(data / "logs"));

    // A list registered in the window is written there.
    Domein->InputDomein->setText(QStringLiteral("mine.example.jp"));
    Domein->RunButtonClick();
    EXPECT_NE(testing::ReadFileBytes(data / "materia/DomeinList.dat").find("mine.example.jp\r\n"),
              std::string::npos);

    // A run started from elsewhere reads its lists from the data folder.
    fs::remove(data / "materia/SERobotsList.dat");
    const std::string log = home.WriteFile("a.log", LogLine(1, "GET /", 200, "1") + "\n");
    fs::current_path("/");
    const auto error = ErrorOf([&] { Form1->LogCounting(log); });
    ASSERT_TRUE(error);
    EXPECT_NE(error->find((data / "materia/SERobotsList.dat").string()), std::string::npos)
        << *error;
}

TEST_F(InstalledStartUp, AHomeWhereNoFolderCanBeMadeEndsStartUp) {
    home.WriteFile(".local", "a file where a folder belongs");
    EXPECT_FALSE(StartUp(ProgramDirectory(), windows));
    ASSERT_EQ(boxes.Texts().size(), 1u);
    EXPECT_NE(boxes.Texts()[0].find("FileCreateError"), std::string::npos) << boxes.Texts()[0];
    EXPECT_NE(boxes.Texts()[0].find((home.Path() / ".local").string()), std::string::npos);
    EXPECT_EQ(Form1, nullptr);
}

TEST(QtJapanese, TheOpenDialogAndTheFieldMenusSpeakJapanese) {
    ProgramHome home;
    CaughtBoxes boxes;
    StartedWindows windows;
    ASSERT_TRUE(StartUp(home.Path().string(), windows));
    windows.Close();

    // The open dialog as the program builds it (Qt's own widgets here).
    QFileDialog dialog;
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    const auto* lookIn = dialog.findChild<QLabel*>(QStringLiteral("lookInLabel"));
    const auto* fileName = dialog.findChild<QLabel*>(QStringLiteral("fileNameLabel"));
    const auto* buttons = dialog.findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
    ASSERT_TRUE(lookIn && fileName && buttons);
    EXPECT_EQ(lookIn->text().toStdString(), "アドレス:");
    EXPECT_EQ(fileName->text().toStdString(), "ファイル名(&N):");
    EXPECT_EQ(buttons->button(QDialogButtonBox::Cancel)->text().toStdString(), "キャンセル");

    QLineEdit field;
    const std::unique_ptr<QMenu> menu(field.createStandardContextMenu());
    std::string texts;
    for (const QAction* action : menu->actions()) texts += action->text().toStdString() + "|";
    EXPECT_NE(texts.find("コピー"), std::string::npos) << texts;
    EXPECT_NE(texts.find("すべてを選択"), std::string::npos) << texts;
}

}  // namespace
}  // namespace pomurina::guitest
