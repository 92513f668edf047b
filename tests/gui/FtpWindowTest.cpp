// The FTP manager window, offscreen, with a program directory of its own and
// a real FTP server on 127.0.0.1.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QCheckBox>
#include <QDate>
#include <QLineEdit>
#include <QPushButton>
#include <cerrno>
#include <filesystem>
#include <memory>

#include "ErrorBox.h"
#include "FtpTestSupport.h"
#include "FtpWindow.h"
#include "SjisQt.h"
#include "io/FileIo.h"
#include "text/Cp932.h"
#include "text/Errors.h"

namespace pomurina {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::WriteBytes;

const std::string kOldCopy = "old copy\r\nstays whole\r\n";
const std::string kServed = "127.0.0.1 - - [06/Dec/2026:10:00:00 +0900] \"GET / HTTP/1.1\" 200 5\n";
const std::string kSetting = "127.0.0.1\r\nalice\r\nsecret\r\n/log/\r\n";
const char kName[] = "access_log_20261206";

class FtpWindow : public ::testing::Test {
protected:
    FtpWindow() : server(root.Path(), {"alice:secret"}) {
        fs::create_directory(program.Path() / "materia");
        fs::create_directory(program.Path() / "logs");
        fs::create_directory(root.Path() / "log");
        WriteBytes(root.Path() / "log" / kName, kServed);
        SetProgramDirectory(program.Path().string());
        SetErrorBoxHandler([this](const std::string& text) { errors.push_back(text); });
        SetInformationHandler([this](const std::string& text) { notes.push_back(text); });
    }
    ~FtpWindow() override {
        SetErrorBoxHandler({});
        SetInformationHandler({});
        SetProgramDirectory({});
        fs::current_path(fs::temp_directory_path());
    }

    // Creates the window as start-up does, pointed at the test server.
    TFTP& Open() {
        window = std::make_unique<TFTP>();
        window->FtpManager1.SetPort(server.Port());
        window->SetLogCounting([this](const std::string& path) {
            analysed.push_back(path);
            visibleWhenAnalysed = window->isVisible();
        });
        window->FileNameEdit->setText(QString::fromLatin1(kName));
        window->show();
        return *window;
    }

    std::string Setting() const { return ReadBytes(program.Path() / "materia" / "FTPSetting.dat"); }
    std::string LocalCopy() const { return ReadBytes(program.Path() / "logs" / kName); }

    test::TempDir program;
    test::TempDir root;
    test::FtpServer server;
    std::unique_ptr<TFTP> window;
    std::vector<std::string> errors;
    std::vector<std::string> notes;
    std::vector<std::string> analysed;
    bool visibleWhenAnalysed = true;
};

const std::string kFailure =
    Utf8ToCp932("ダウンロードに失敗しました。\r接続設定、ファイル名設定を見直してください。");

TEST_F(FtpWindow, AsksForTheDirectoryFollowedByTheFileName) {
    WriteBytes(program.Path() / "materia" / "FTPSetting.dat", kSetting);
    WriteBytes(root.Path() / (std::string("log") + kName), "no slash\n");
    WriteBytes(root.Path() / kName, "bare\n");
    TFTP& w = Open();
    struct Case {
        const char* directory;
        std::string retr;
        std::string copy;
    };
    const Case cases[] = {{"/log/", std::string("RETR /log/") + kName, kServed},
                          {"/log", std::string("RETR /log") + kName, "no slash\n"},
                          {"", std::string("RETR ") + kName, "bare\n"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.directory);
        w.DirectoryEdit->setText(QString::fromLatin1(c.directory));
        w.RunButton->click();
        EXPECT_EQ(server.Commands("RETR ").back(), c.retr);
        EXPECT_EQ(server.Commands("TYPE ").back(), "TYPE A");
        EXPECT_EQ(LocalCopy(), c.copy);
    }
    EXPECT_EQ(analysed, std::vector<std::string>(3, std::string("logs/") + kName));
    EXPECT_TRUE(errors.empty());
    EXPECT_TRUE(notes.empty());
}

TEST_F(FtpWindow, ASuccessSavesTheSettingsOwnerOnlyThenHidesAndAnalyses) {
    TFTP& w = Open();
    ASSERT_EQ(errors.size(), 1u);  // no settings file yet
    w.DomeinEdit->setText("127.0.0.1");
    w.AcountEdit->setText("alice");
    w.PassEdit->setText("secret");
    w.DirectoryEdit->setText("/log/");
    w.SaveBox->setChecked(true);
    WriteBytes(program.Path() / "logs" / kName, kOldCopy);
    w.RunButton->click();

    EXPECT_EQ(Setting(), kSetting);
    struct stat info {};
    ASSERT_EQ(::stat((program.Path() / "materia" / "FTPSetting.dat").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    EXPECT_EQ(LocalCopy(), kServed);
    EXPECT_FALSE(visibleWhenAnalysed);
    EXPECT_EQ(analysed, std::vector<std::string>{std::string("logs/") + kName});
    EXPECT_EQ(LocalLogPath, std::string("logs/") + kName);
    EXPECT_EQ(fs::current_path(), program.Path());
    EXPECT_TRUE(notes.empty());
}

// Whatever breaks, the message is shown, the old copy stays whole, the
// ticked box saves nothing and no analysis starts.
TEST_F(FtpWindow, AFailedDownloadShowsTheMessageAndStartsNothing) {
    WriteBytes(program.Path() / "materia" / "FTPSetting.dat", kSetting);
    WriteBytes(root.Path() / "log" / "drop_log", std::string(200000, 'x'));
    TFTP& w = Open();
    w.SaveBox->setChecked(true);
    struct Case {
        const char* what;
        const char* password;
        const char* file;
        int port;
    };
    const int port = server.Port();
    const Case cases[] = {{"wrong password", "wrong", kName, port},
                          {"missing remote file", "secret", "no_such_log", port},
                          {"server not running", "secret", kName, test::UnusedPort()},
                          {"data connection dropped halfway", "secret", "drop_log", port}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const fs::path copy = program.Path() / "logs" / c.file;
        WriteBytes(copy, kOldCopy);
        w.PassEdit->setText(c.password);
        w.FileNameEdit->setText(c.file);
        w.FtpManager1.SetPort(c.port);
        notes.clear();
        w.RunButton->click();
        EXPECT_EQ(notes, std::vector<std::string>{kFailure});
        EXPECT_EQ(ReadBytes(copy), kOldCopy);
        EXPECT_TRUE(w.isVisible());
        EXPECT_EQ(Setting(), kSetting);
    }
    EXPECT_TRUE(analysed.empty());
    EXPECT_TRUE(errors.empty());
}

// The file name becomes the local copy's name: one that would put the copy
// anywhere but directly in logs/ (over the user's own lists, say) is refused
// before any connection, with a box that names the field.
TEST_F(FtpWindow, AFileNameThatWouldLeaveLogsIsRefusedBeforeConnecting) {
    WriteBytes(program.Path() / "materia" / "FTPSetting.dat", kSetting);
    WriteBytes(program.Path() / "materia" / "DomeinList.dat", "own.example\r\n");
    WriteBytes(root.Path() / "log" / "x", "server's bytes\n");
    TFTP& w = Open();
    w.SaveBox->setChecked(true);
    const QString names[] = {"",
                             ".",
                             "..",
                             "../materia/DomeinList.dat",
                             "../../x",
                             "/tmp/x",
                             "sub/x",
                             "sub\\x",
                             "x\ty",
                             QString("x") + QChar(0) + "y",
                             QString("x") + QChar(0x7F),
                             QString("x") + QChar(0x85)};
    for (const QString& name : names) {
        SCOPED_TRACE(name.toStdString());
        errors.clear();
        w.FileNameEdit->setText(name);
        w.RunButton->click();
        ASSERT_EQ(errors.size(), 1u);
        EXPECT_TRUE(errors[0].starts_with(Utf8ToCp932("ファイル名")));
        EXPECT_TRUE(w.isVisible());
    }
    EXPECT_TRUE(server.Commands().empty());
    EXPECT_TRUE(notes.empty());
    EXPECT_TRUE(analysed.empty());
    EXPECT_TRUE(fs::is_empty(program.Path() / "logs"));
    EXPECT_EQ(ReadBytes(program.Path() / "materia" / "DomeinList.dat"), "own.example\r\n");
    EXPECT_EQ(Setting(), kSetting);
    // A name with a dot inside, blanks or Japanese is a name like any other.
    w.FileNameEdit->setText(QString::fromUtf8("x"));
    w.DirectoryEdit->setText("/log/");
    w.RunButton->click();
    EXPECT_EQ(analysed, std::vector<std::string>{"logs/x"});
}

TEST_F(FtpWindow, AMissingLogsDirectoryFailsTheDownload) {
    WriteBytes(program.Path() / "materia" / "FTPSetting.dat", kSetting);
    fs::remove(program.Path() / "logs");
    Open().RunButton->click();
    EXPECT_EQ(notes, std::vector<std::string>{kFailure});
    EXPECT_TRUE(analysed.empty());
    EXPECT_FALSE(fs::exists(program.Path() / "logs"));
}

// The box comes before the window hides: it stays open and nothing is analysed.
TEST_F(FtpWindow, ASettingsFileThatCannotBeWrittenKeepsTheWindowOpen) {
    WriteBytes(program.Path() / "materia" / "FTPSetting.dat", kSetting);
    TFTP& w = Open();
    fs::remove_all(program.Path() / "materia");
    w.SaveBox->setChecked(true);
    w.RunButton->click();
    const std::string path = (program.Path() / "materia" / "FTPSetting.dat").string();
    EXPECT_EQ(errors, std::vector<std::string>{
                          WithFullStop(FileCreateErrorText(path, SystemErrorText(ENOENT)))});
    EXPECT_TRUE(w.isVisible());
    EXPECT_TRUE(analysed.empty());
    EXPECT_EQ(LocalCopy(), kServed);
}

TEST_F(FtpWindow, SixLinesFillFourFieldsAndTheNextSaveWritesFour) {
    WriteBytes(program.Path() / "materia" / "FTPSetting.dat", kSetting + "fifth\r\nsixth\r\n");
    TFTP& w = Open();
    EXPECT_TRUE(errors.empty());
    EXPECT_EQ(w.DomeinEdit->text(), "127.0.0.1");
    EXPECT_EQ(w.AcountEdit->text(), "alice");
    EXPECT_EQ(w.PassEdit->text(), "secret");
    EXPECT_EQ(w.PassEdit->displayText(), "******");
    EXPECT_EQ(w.DirectoryEdit->text(), "/log/");
    w.SaveBox->setChecked(true);
    w.RunButton->click();
    EXPECT_EQ(Setting(), kSetting);
}

TEST_F(FtpWindow, AMissingSettingsFileShowsTheOpenErrorAndKeepsTheDefaultName) {
    window = std::make_unique<TFTP>();
    const std::string path = (program.Path() / "materia" / "FTPSetting.dat").string();
    EXPECT_EQ(errors, std::vector<std::string>{
                          WithFullStop(FileOpenErrorText(path, SystemErrorText(ENOENT)))});
    EXPECT_EQ(ToSjis(window->FileNameEdit->text()),
              "access_log_" + TFTP::DateFormat(QDate::currentDate()));
    EXPECT_TRUE(window->DomeinEdit->text().isEmpty());
    EXPECT_EQ(TFTP::DateFormat(QDate(2026, 12, 6)), "20261206");
}

TEST_F(FtpWindow, AShortSettingsFileFillsWhatItHasThenShowsTheIndexError) {
    WriteBytes(program.Path() / "materia" / "FTPSetting.dat", "host\r\nuser");
    TFTP& w = Open();
    EXPECT_EQ(errors, std::vector<std::string>{ListIndexErrorText(2)});
    EXPECT_EQ(w.DomeinEdit->text(), "host");
    EXPECT_EQ(w.AcountEdit->text(), "user");
    EXPECT_TRUE(w.PassEdit->text().isEmpty());
}

}  // namespace
}  // namespace pomurina
