#include "FtpWindow.h"

#include <sys/stat.h>

#include <QCheckBox>
#include <QDate>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <filesystem>

#include "ErrorBox.h"
#include "SjisQt.h"
#include "WindowKit.h"
#include "io/DataFolder.h"
#include "io/FileIo.h"
#include "io/PlainFileName.h"
#include "text/Cp932.h"
#include "text/SjisText.h"
#include "text/TextList.h"

namespace pomurina {

TFTP* FTP = nullptr;

std::string LocalLogPath;

namespace {

const char kSettingFile[] = "materia/FTPSetting.dat";

// Every data file is named relative to the data folder (the program's
// directory when materia/ stands beside it).  A failure is left to show
// itself when a file is then not found.
void EnterDataFolder() {
    std::error_code ignored;
    std::filesystem::current_path(DataFolder(), ignored);
}

bool IsRegularFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

QLabel* AddLabel(QWidget* parent, const char* caption, int x, int y) {
    auto* label = new QLabel(FromUtf8(caption), parent);
    label->move(x, y);
    label->adjustSize();
    return label;
}

QLineEdit* AddEdit(QWidget* parent, int y) {
    auto* edit = new QLineEdit(parent);
    edit->setGeometry(88, y, 248, 20);
    return edit;
}

}  // namespace

TFTP::TFTP(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint) {
    CreateControls();
    Guarded([this] { FormCreate(); });
}

void TFTP::CreateControls() {
    setWindowTitle(FromUtf8("FTPマネージャ"));
    setFixedSize(368, 254);
    setFont(WindowFont());

    GroupBox1 = new QGroupBox(FromUtf8("接続設定"), this);
    GroupBox1->setGeometry(8, 8, 352, 150);
    Label1 = AddLabel(GroupBox1, "ドメイン", 16, 27);
    DomeinEdit = AddEdit(GroupBox1, 24);
    Label2 = AddLabel(GroupBox1, "アカウント", 16, 53);
    AcountEdit = AddEdit(GroupBox1, 50);
    Label3 = AddLabel(GroupBox1, "パスワード", 16, 79);
    PassEdit = AddEdit(GroupBox1, 76);
    PassEdit->setEchoMode(QLineEdit::Password);
    PassEdit->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));  // "*"
    Label4 = AddLabel(GroupBox1, "ディレクトリ", 16, 105);
    DirectoryEdit = AddEdit(GroupBox1, 102);
    SaveBox = new QCheckBox(FromUtf8("入力情報を保存"), GroupBox1);
    SaveBox->setGeometry(88, 126, 248, 18);

    GroupBox2 = new QGroupBox(FromUtf8("ファイル設定"), this);
    GroupBox2->setGeometry(8, 164, 352, 52);
    Label5 = AddLabel(GroupBox2, "ファイル名", 16, 25);
    FileNameEdit = AddEdit(GroupBox2, 22);

    RunButton = new QPushButton(FromUtf8("接続(&C)"), this);
    RunButton->setGeometry(272, 222, 88, 25);
    connect(RunButton, &QPushButton::clicked, this, &TFTP::RunButtonClick);

    QWidget::setTabOrder(DomeinEdit, AcountEdit);
    QWidget::setTabOrder(AcountEdit, PassEdit);
    QWidget::setTabOrder(PassEdit, DirectoryEdit);
    QWidget::setTabOrder(DirectoryEdit, SaveBox);
    QWidget::setTabOrder(SaveBox, FileNameEdit);
    QWidget::setTabOrder(FileNameEdit, RunButton);
}

std::string TFTP::DateFormat(const QDate& date) {
    const std::string text = date.toString(QStringLiteral("yyyy/MM/dd")).toStdString();
    return std::string(Copy(text, 1, 4)) + std::string(Copy(text, 6, 2)) +
           std::string(Copy(text, 9, 2));
}

void TFTP::FormCreate() {
    FileNameEdit->setText(FromSjis("access_log_" + DateFormat(QDate::currentDate())));
    LoadSetting();
}

std::array<QLineEdit*, 4> TFTP::SettingFields() const {
    return {DomeinEdit, AcountEdit, PassEdit, DirectoryEdit};
}

void TFTP::LoadSetting() {
    EnterDataFolder();
    TextList setting;
    setting.LoadFromFile(kSettingFile);
    // Filled in order, so a short file fills what it has before the index error.
    const auto fields = SettingFields();
    for (std::size_t i = 0; i < fields.size(); ++i) fields[i]->setText(FromSjis(setting.Get(i)));
}

void TFTP::SaveSetting() {
    TextList setting;
    for (const QLineEdit* edit : SettingFields()) setting.Add(ToSjis(edit->text()));
    EnterDataFolder();
    setting.SaveToFile(kSettingFile, 0600);
}

bool TFTP::DownLoad() {
    // The name becomes the local copy's name in logs/: it must not lead
    // anywhere else.  Checked as typed and as the file system will see it.
    const std::string fileName = ToSjis(FileNameEdit->text());
    const std::string localName = Cp932ToUtf8(fileName);
    if (!IsPlainFileName(FileNameEdit->text().toStdString()) || !IsPlainFileName(localName))
        throw Error(
            Utf8ToCp932("ファイル名が正しくありません。空の名前、\".\"、\"..\"、"
                        "\"/\" や \"\\\" や制御文字を含む名前はログの保存に使えません"));
    FtpManager1.SetServerName(ToSjis(DomeinEdit->text()));
    FtpManager1.SetUserName(ToSjis(AcountEdit->text()));
    FtpManager1.SetPassWord(ToSjis(PassEdit->text()));
    // No separator is added: a directory brings its own trailing slash.
    const std::string remote = ToSjis(DirectoryEdit->text()) + fileName;
    EnterDataFolder();
    LocalLogPath = "logs/" + localName;
    return FtpManager1.GetFile(remote, LocalLogPath, TTransferMode::Text);
}

void TFTP::RunButtonClick() {
    Guarded([this] {
        // A failed transfer is reported even when an older copy of the same
        // name is in logs/: analysing that copy would pass a stale log off as new.
        if (DownLoad() && IsRegularFile(LocalLogPath)) {
            if (SaveBox->isChecked()) SaveSetting();
            hide();
            if (m_logCounting) m_logCounting(LocalLogPath);
            return;
        }
        ShowInformation(Utf8ToCp932(
            "ダウンロードに失敗しました。\r接続設定、ファイル名設定を見直してください。"));
    });
}

}  // namespace pomurina
