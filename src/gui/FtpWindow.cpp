#include "FtpWindow.h"

#include <sys/stat.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <algorithm>
#include <ctime>
#include <iterator>

#include "ArchiveDialogs.h"
#include "ErrorBox.h"
#include "QuestionBox.h"
#include "SjisQt.h"
#include "WindowKit.h"
#include "archive/FetchedLogs.h"
#include "fetch/FetchFailure.h"
#include "fetch/LogFileName.h"
#include "io/DataFolder.h"
#include "text/SjisText.h"
#include "text/TextList.h"

namespace pomurina {

TFTP* FTP = nullptr;

namespace {

const std::string kSettingFile = std::string("materia/") + kFetchSettingsFile;

// Every data file is named relative to the data folder (the program's
// directory when materia/ stands beside it).
void EnterDataFolder() {
    EnterFolder(DataFolder());
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

QLineEdit* AddEdit(QWidget* parent, int y, int width = 248) {
    auto* edit = new QLineEdit(parent);
    edit->setGeometry(88, y, width, 20);
    return edit;
}

// The protocol chosen in the box (the first while none is).
FetchProtocol ChosenProtocol(const QComboBox* box) {
    return kFetchProtocols[std::max(box->currentIndex(), 0)].protocol;
}

int ProtocolIndex(FetchProtocol protocol) {
    const auto* const found =
        std::ranges::find(kFetchProtocols, protocol, &FetchProtocolNames::protocol);
    return static_cast<int>(found - std::begin(kFetchProtocols));
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
    // The protocol stands beside the server it goes with; the port is
    // written in the server field (host:port).
    DomeinEdit = AddEdit(GroupBox1, 24, 176);
    DomeinEdit->setToolTip(FromUtf8(
        "ホスト名かアドレス。ポート番号は「:」に続けて (例: example.jp:2121、[2001:db8::1]:22)"));
    ProtocolBox = new QComboBox(GroupBox1);
    ProtocolBox->setGeometry(268, 23, 68, 22);
    for (const FetchProtocolNames& protocol : kFetchProtocols)
        ProtocolBox->addItem(QString::fromLatin1(protocol.caption.data()));
    ProtocolBox->setToolTip(
        FromUtf8("FTP: 暗号化なし / FTPS: FTP を TLS (AUTH TLS) で暗号化 / SFTP: SSH で暗号化"));
    connect(ProtocolBox, &QComboBox::currentIndexChanged, this, &TFTP::ProtocolBoxChange);
    Label2 = AddLabel(GroupBox1, "アカウント", 16, 53);
    AcountEdit = AddEdit(GroupBox1, 50);
    Label3 = AddLabel(GroupBox1, "パスワード", 16, 79);
    PassEdit = AddEdit(GroupBox1, 76);
    PassEdit->setEchoMode(QLineEdit::Password);
    PassEdit->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));  // "*"
    Label4 = AddLabel(GroupBox1, "ディレクトリ", 16, 105);
    DirectoryEdit = AddEdit(GroupBox1, 102);
    SaveBox = new QCheckBox(FromUtf8("入力情報を保存"), GroupBox1);
    SaveBox->setGeometry(88, 126, 120, 18);
    PassiveBox = new QCheckBox(FromUtf8("パッシブモード"), GroupBox1);
    PassiveBox->setGeometry(216, 126, 120, 18);
    PassiveBox->setToolTip(
        FromUtf8("ルーターの内側からはパッシブモードでないとつながらないことがあります"));
    // With no settings at all, what most hosts and home routers need.
    PassiveBox->setChecked(true);

    GroupBox2 = new QGroupBox(FromUtf8("ファイル設定"), this);
    GroupBox2->setGeometry(8, 164, 352, 52);
    Label5 = AddLabel(GroupBox2, "ファイル名", 16, 25);
    FileNameEdit = AddEdit(GroupBox2, 22);

    ArchiveBox = new QCheckBox(FromUtf8("アーカイブに取り込む"), this);
    ArchiveBox->setGeometry(16, 226, 240, 18);
    ArchiveBox->setToolTip(
        FromUtf8("取得したログを、サーバー名のサイトとしてアーカイブにも保存します。"
                 "ホストが古いログを消しても、ファイル > アーカイブを開く… で解析できます"));
    connect(ArchiveBox, &QCheckBox::toggled, this, [](bool on) {
        Guarded([on] { SetImportsFetchedLogs(DataFolder() + "/materia", on); });
    });

    RunButton = new QPushButton(FromUtf8("接続(&C)"), this);
    RunButton->setGeometry(272, 222, 88, 25);
    connect(RunButton, &QPushButton::clicked, this, &TFTP::RunButtonClick);

    QWidget::setTabOrder(DomeinEdit, ProtocolBox);
    QWidget::setTabOrder(ProtocolBox, AcountEdit);
    QWidget::setTabOrder(AcountEdit, PassEdit);
    QWidget::setTabOrder(PassEdit, DirectoryEdit);
    QWidget::setTabOrder(DirectoryEdit, SaveBox);
    QWidget::setTabOrder(SaveBox, PassiveBox);
    QWidget::setTabOrder(PassiveBox, FileNameEdit);
    QWidget::setTabOrder(FileNameEdit, ArchiveBox);
    QWidget::setTabOrder(ArchiveBox, RunButton);
}

std::string TFTP::DateFormat(const QDate& date) {
    const std::string text = date.toString(QStringLiteral("yyyy/MM/dd")).toStdString();
    return std::string(Copy(text, 1, 4)) + std::string(Copy(text, 6, 2)) +
           std::string(Copy(text, 9, 2));
}

void TFTP::FormCreate() {
    FileNameEdit->setText(FromSjis(DefaultLogFileName(std::time(nullptr))));
    {
        const QSignalBlocker quiet(ArchiveBox);
        ArchiveBox->setChecked(ImportsFetchedLogs(DataFolder() + "/materia"));
    }
    LoadSetting();
}

FetchSettings TFTP::Settings() const {
    FetchSettings settings;
    settings.server = ToSjis(DomeinEdit->text());
    settings.account = ToSjis(AcountEdit->text());
    settings.password = ToSjis(PassEdit->text());
    settings.directory = ToSjis(DirectoryEdit->text());
    settings.protocol = ChosenProtocol(ProtocolBox);
    settings.passive = PassiveBox->isChecked();
    return settings;
}

void TFTP::ShowSettings(const FetchSettings& settings) {
    DomeinEdit->setText(FromSjis(settings.server));
    AcountEdit->setText(FromSjis(settings.account));
    PassEdit->setText(FromSjis(settings.password));
    DirectoryEdit->setText(FromSjis(settings.directory));
    ProtocolBox->setCurrentIndex(ProtocolIndex(settings.protocol));
    PassiveBox->setChecked(settings.passive);
}

void TFTP::ProtocolBoxChange() {
    PassiveBox->setEnabled(ChosenProtocol(ProtocolBox) != FetchProtocol::Sftp);
}

void TFTP::LoadSetting() {
    EnterDataFolder();
    TextList lines;
    lines.LoadFromFile(kSettingFile);
    // A short file fills what it has before the error shows.
    FetchSettings settings;
    try {
        ReadFetchSettings(lines, kSettingFile, settings);
    } catch (...) {
        ShowSettings(settings);
        throw;
    }
    ShowSettings(settings);
}

void TFTP::SaveSetting() {
    const FetchSettings settings = Settings();
    EnterDataFolder();
    SaveFetchSettings(kSettingFile, settings);
}

FetchOutcome TFTP::DownLoad() {
    // Checked as typed here, and as the file system will name it by the fetch.
    CheckLogFileName(FileNameEdit->text().toStdString());
    const FetchOutcome outcome =
        FetchLog(FtpManager1, Settings(), ToSjis(FileNameEdit->text()), FetchPlaces{DataFolder()},
                 [](const FetchReport& report) { return AskQuestion(TrustQuestionText(report)); });
    LocalLogPath = outcome.localPath;
    return outcome;
}

void TFTP::keyPressEvent(QKeyEvent* event) {
    if (event->key() != Qt::Key_Escape || event->modifiers() != Qt::NoModifier) {
        QWidget::keyPressEvent(event);
        return;
    }
    Guarded([this] { close(); });
    event->accept();
}

void TFTP::RunButtonClick() {
    Guarded([this] {
        // A failed transfer is reported even when an older copy of the same
        // name is in logs/: analysing that copy would pass a stale log off as new.
        const FetchOutcome outcome = DownLoad();
        if (outcome.Ok() && IsRegularFile(LocalLogPath)) {
            if (SaveBox->isChecked()) SaveSetting();
            hide();
            // Kept before it is analysed; a failure to keep it is said, and
            // the analysis goes on.
            if (ArchiveBox->isChecked())
                Guarded([this] {
                    ImportIntoArchive(SiteOfServer(DomeinEdit->text().trimmed().toStdString()),
                                      {LocalLogPath}, false);
                });
            if (m_logCounting) m_logCounting(LocalLogPath);
            return;
        }
        ShowInformation(outcome.Ok() ? DownloadFailureText() : FetchFailureText(outcome.report));
    });
}

}  // namespace pomurina
