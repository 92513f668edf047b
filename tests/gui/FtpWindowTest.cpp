// The FTP manager window, offscreen, with a program directory of its own and
// a real FTP server on 127.0.0.1.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <cerrno>
#include <filesystem>
#include <memory>

#include "ErrorBox.h"
#include "Errors.h"
#include "FtpTestSupport.h"
#include "FtpWindow.h"
#include "ProgramDir.h"
#include "QuestionBox.h"
#include "SftpTestServer.h"
#include "SjisQt.h"
#include "fetch/KnownServers.h"
#include "io/FileIo.h"
#include "text/Cp932.h"

namespace pomurina {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::WriteBytes;

using test::kOldCopy;
const std::string kServed = "127.0.0.1 - - [06/Dec/2026:10:00:00 +0900] \"GET / HTTP/1.1\" 200 5\n";
const char kName[] = "access_log_20261206";

class FtpWindow : public ::testing::Test {
protected:
    FtpWindow() : server(root.Path(), {"alice:secret"}) {
        fs::create_directory(root.Path() / "log");
        WriteBytes(root.Path() / "log" / kName, kServed);
        SetErrorBoxHandler([this](const std::string& text) { errors.push_back(text); });
        SetInformationHandler([this](const std::string& text) { notes.push_back(text); });
        SetQuestionHandler([this](const std::string& text) {
            questions.push_back(text);
            return answer;
        });
        address = "127.0.0.1:" + std::to_string(server.Port());
        setting = address + "\r\nalice\r\nsecret\r\n/log/\r\n";
    }
    ~FtpWindow() override {
        SetErrorBoxHandler({});
        SetInformationHandler({});
        SetQuestionHandler({});
        fs::current_path(fs::temp_directory_path());
    }

    // Creates the window as start-up does, pointed at the test server.
    TFTP& Open() {
        window = std::make_unique<TFTP>();
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

    testing::ProgramDir program;  // the data folder
    test::TempDir root;
    test::FtpServer server;
    std::unique_ptr<TFTP> window;
    std::vector<std::string> errors;
    std::vector<std::string> notes;
    std::vector<std::string> questions;
    bool answer = false;
    std::vector<std::string> analysed;
    bool visibleWhenAnalysed = true;
    std::string address;  // 127.0.0.1:port of the FTP server
    std::string setting;  // four lines naming it
};

const std::string kFailure =
    Utf8ToCp932("ダウンロードに失敗しました。\r接続設定、ファイル名設定を見直してください。");

// The failure message with its cause.
std::string Failure(const char* cause) {
    return kFailure + "\r" + Utf8ToCp932(cause);
}

TEST_F(FtpWindow, EscClosesTheWindowAndStartsNothing) {
    WriteBytes(program.Path() / "materia" / "FTPSetting.dat", setting);
    TFTP& w = Open();
    QTest::keyClick(w.DomeinEdit, Qt::Key_Escape);
    EXPECT_FALSE(w.isVisible());
    EXPECT_TRUE(analysed.empty());
    EXPECT_TRUE(errors.empty() && notes.empty());
}

TEST_F(FtpWindow, AsksForTheFileNameInTheDirectoryWithOrWithoutItsSlash) {
    WriteBytes(program.Path() / "materia" / "FTPSetting.dat", setting);
    WriteBytes(root.Path() / kName, "bare\n");
    TFTP& w = Open();
    struct Case {
        const char* directory;
        std::string retr;
        std::string copy;
    };
    const Case cases[] = {{"/log/", std::string("RETR /log/") + kName, kServed},
                          {"/log", std::string("RETR /log/") + kName, kServed},
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
    ASSERT_EQ(errors.size(), 1u);  // no settings file yet: FTP, passive
    w.DomeinEdit->setText(QString::fromStdString(address));
    w.AcountEdit->setText("alice");
    w.PassEdit->setText("secret");
    w.DirectoryEdit->setText("/log/");
    w.SaveBox->setChecked(true);
    WriteBytes(program.Path() / "logs" / kName, kOldCopy);
    w.RunButton->click();

    EXPECT_EQ(Setting(), setting + "ftp\r\npassive\r\n");
    EXPECT_TRUE(server.Commands("EPSV").size() + server.Commands("PASV").size() > 0);
    struct stat info {};
    ASSERT_EQ(::stat((program.Path() / "materia" / "FTPSetting.dat").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    EXPECT_EQ(LocalCopy(), kServed);
    EXPECT_FALSE(visibleWhenAnalysed);
    EXPECT_EQ(analysed, std::vector<std::string>{std::string("logs/") + kName});
    EXPECT_EQ(w.LocalLogPath, std::string("logs/") + kName);
    EXPECT_EQ(fs::current_path(), program.Path());
    EXPECT_TRUE(notes.empty());
    // Kept in the archive of the server's site too (the box is on unless turned off).
    EXPECT_TRUE(w.ArchiveBox->isChecked());
    EXPECT_EQ(ReadBytes(program.Path() / "archive/127.0.0.1/2026/12/2026-12-06.log.zst").empty(),
              false);
    w.ArchiveBox->setChecked(false);
    EXPECT_FALSE(TFTP().ArchiveBox->isChecked());  // remembered
}

// Whatever breaks, the message is shown with its cause, the old copy stays
// whole, the ticked box saves nothing and no analysis starts.
TEST_F(FtpWindow, AFailedDownloadShowsTheMessageAndStartsNothing) {
    WriteBytes(program.Path() / "materia" / "FTPSetting.dat", setting);
    WriteBytes(root.Path() / "log" / "drop_log", std::string(200000, 'x'));
    TFTP& w = Open();
    w.SaveBox->setChecked(true);
    struct Case {
        const char* what;
        std::string server;
        const char* password;
        const char* file;
        std::string note;
    };
    const std::string nobody = "127.0.0.1:" + std::to_string(test::UnusedPort());
    const Case cases[] = {
        {"wrong password", address, "wrong", kName, Failure("アカウントかパスワードが違います。")},
        {"missing remote file", address, "secret", "no_such_log",
         Failure(
             "サーバーにファイル「/log/no_such_log」が見つかりません。ディレクトリとファイル名を"
             "確かめてください。")},
        {"server not running", nobody, "secret", kName,
         Failure(("サーバー " + nobody +
                  " に接続を拒否されました。ポート番号とプロトコル (FTP、FTPS、SFTP) を確かめて"
                  "ください。")
                     .c_str())},
        {"data connection dropped halfway", address, "secret", "drop_log", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const fs::path copy = program.Path() / "logs" / c.file;
        WriteBytes(copy, kOldCopy);
        w.DomeinEdit->setText(QString::fromStdString(c.server));
        w.PassEdit->setText(c.password);
        w.FileNameEdit->setText(c.file);
        notes.clear();
        w.RunButton->click();
        ASSERT_EQ(notes.size(), 1u);
        if (!c.note.empty()) {
            EXPECT_EQ(notes[0], c.note);
        }
        EXPECT_TRUE(notes[0].starts_with(kFailure + "\r"));
        EXPECT_EQ(ReadBytes(copy), kOldCopy);
        EXPECT_TRUE(w.isVisible());
        EXPECT_EQ(Setting(), setting);
    }
    EXPECT_TRUE(analysed.empty());
    EXPECT_TRUE(errors.empty());
    // The password is never shown.
    for (const std::string& note : notes) EXPECT_EQ(note.find("secret"), std::string::npos);
}

// The file name becomes the local copy's name: one that would put the copy
// anywhere but directly in logs/ (over the user's own lists, say) is refused
// before any connection, with a box that names the field.
TEST_F(FtpWindow, AFileNameThatWouldLeaveLogsIsRefusedBeforeConnecting) {
    WriteBytes(program.Path() / "materia" / "FTPSetting.dat", setting);
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
    EXPECT_EQ(Setting(), setting);
    // A name with a dot inside, blanks or Japanese is a name like any other.
    w.FileNameEdit->setText(QString::fromUtf8("x"));
    w.DirectoryEdit->setText("/log/");
    w.RunButton->click();
    EXPECT_EQ(analysed, std::vector<std::string>{"logs/x"});
}

TEST_F(FtpWindow, AMissingLogsDirectoryFailsTheDownload) {
    WriteBytes(program.Path() / "materia" / "FTPSetting.dat", setting);
    fs::remove(program.Path() / "logs");
    Open().RunButton->click();
    const std::string logs = (program.Path() / "logs" / kName).string();
    EXPECT_EQ(notes, std::vector<std::string>{Failure(("ログを " + logs + " に保存できません (" +
                                                       Cp932ToUtf8(SystemErrorText(ENOENT)) + ")。")
                                                          .c_str())});
    EXPECT_TRUE(server.Commands().empty());
    EXPECT_TRUE(analysed.empty());
    EXPECT_FALSE(fs::exists(program.Path() / "logs"));
}

// The box comes before the window hides: it stays open and nothing is analysed.
TEST_F(FtpWindow, ASettingsFileThatCannotBeWrittenKeepsTheWindowOpen) {
    WriteBytes(program.Path() / "materia" / "FTPSetting.dat", setting);
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

// A file of the older program means plain FTP in active mode, and is still
// read the same after a save; lines after the sixth are not kept.
TEST_F(FtpWindow, FourLinesMeanActiveFtpAndTheNextSaveWritesSix) {
    WriteBytes(program.Path() / "materia" / "FTPSetting.dat", setting);
    TFTP& w = Open();
    EXPECT_TRUE(errors.empty());
    EXPECT_EQ(w.DomeinEdit->text().toStdString(), address);
    EXPECT_EQ(w.AcountEdit->text(), "alice");
    EXPECT_EQ(w.PassEdit->text(), "secret");
    EXPECT_EQ(w.PassEdit->displayText(), "******");
    EXPECT_EQ(w.DirectoryEdit->text(), "/log/");
    EXPECT_EQ(w.ProtocolBox->currentText(), "FTP");
    EXPECT_FALSE(w.PassiveBox->isChecked());
    w.SaveBox->setChecked(true);
    w.RunButton->click();
    EXPECT_EQ(Setting(), setting + "ftp\r\nactive\r\n");
    EXPECT_FALSE(server.Commands("EPRT").empty() && server.Commands("PORT").empty());
    EXPECT_TRUE(server.Commands("EPSV").empty() && server.Commands("PASV").empty());

    WriteBytes(program.Path() / "materia" / "FTPSetting.dat",
               setting + "sftp\r\npassive\r\nseventh\r\n");
    TFTP& again = Open();
    EXPECT_EQ(again.ProtocolBox->currentText(), "SFTP");
    EXPECT_TRUE(again.PassiveBox->isChecked());
    EXPECT_FALSE(again.PassiveBox->isEnabled());  // nothing to SFTP
    again.ProtocolBox->setCurrentIndex(1);
    EXPECT_TRUE(again.PassiveBox->isEnabled());
}

TEST_F(FtpWindow, AnUnknownProtocolLineIsShownAndTheFieldsStillFill) {
    WriteBytes(program.Path() / "materia" / "FTPSetting.dat", setting + "ftpes\r\n");
    TFTP& w = Open();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(Cp932ToUtf8(errors[0]).find("5 行目 \"ftpes\""), std::string::npos);
    EXPECT_EQ(w.DomeinEdit->text().toStdString(), address);
    EXPECT_EQ(w.ProtocolBox->currentText(), "FTP");
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

// The question shows the host key's fingerprint before anything is sent; the
// answer decides whether it is remembered and the log fetched.
TEST_F(FtpWindow, AnUnknownHostKeyIsShownInAQuestionAndTrustedOnlyByYes) {
    test::TempDir keys;
    test::SftpServer sftp(root.Path(), {"alice:secret"}, keys.Path() / "host_key");
    const std::string sftpAddress = "127.0.0.1:" + std::to_string(sftp.Port());
    WriteBytes(program.Path() / "materia" / "FTPSetting.dat",
               sftpAddress + "\r\nalice\r\nsecret\r\n/log/\r\nsftp\r\nactive\r\n");
    WriteBytes(program.Path() / "logs" / kName, kOldCopy);
    TFTP& w = Open();
    w.RunButton->click();
    ASSERT_EQ(questions.size(), 1u);
    const std::string question = Cp932ToUtf8(questions[0]);
    EXPECT_TRUE(question.starts_with("サーバー " + sftpAddress + " (SFTP) のホスト鍵は"));
    EXPECT_NE(question.find("\r" + sftp.Fingerprint() + "\r"), std::string::npos) << question;
    EXPECT_EQ(notes, std::vector<std::string>{Failure(
                         ("サーバーのホスト鍵は信頼されていません。\rSHA-256 フィンガープリント: " +
                          sftp.Fingerprint())
                             .c_str())});
    EXPECT_TRUE(sftp.Log().empty());
    EXPECT_FALSE(fs::exists(program.Path() / "materia" / kKnownServersFile));
    EXPECT_EQ(LocalCopy(), kOldCopy);

    answer = true;
    notes.clear();
    w.RunButton->click();
    EXPECT_EQ(questions.size(), 2u);
    EXPECT_TRUE(notes.empty());
    EXPECT_EQ(LocalCopy(), kServed);
    EXPECT_EQ(analysed, std::vector<std::string>{std::string("logs/") + kName});
    EXPECT_EQ(ReadBytes(program.Path() / "materia" / kKnownServersFile),
              "sftp " + sftpAddress + " " + sftp.Fingerprint() + "\r\n");
    w.show();
    w.RunButton->click();
    EXPECT_EQ(questions.size(), 2u);  // known now
    EXPECT_EQ(analysed.size(), 2u);
}

}  // namespace
}  // namespace pomurina
