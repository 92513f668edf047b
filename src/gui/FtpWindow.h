#pragma once
// TFTP: the FTP manager window "FTPマネージャ", with the web host's server
// (and port), protocol (FTP, FTPS, SFTP), passive mode, account, password,
// remote directory and log file name; "接続(&C)" fetches the log into logs/
// in the data folder and starts the analysis on the copy.
#include <QWidget>
#include <functional>
#include <string>

#include "FtpSession.h"
#include "LogFetch.h"
#include "fetch/FetchSettings.h"

class QCheckBox;
class QComboBox;
class QDate;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace pomurina {

// The analysis run the window starts on a downloaded copy.
using LogCountingFunction = std::function<void(const std::string& path)>;

class TFTP;
// The FTP manager window of the process.
extern TFTP* FTP;

class TFTP : public QWidget {
    Q_OBJECT

public:
    explicit TFTP(QWidget* parent = nullptr);

    // Who analyses a downloaded copy (the main window's LogCounting).
    void SetLogCounting(LogCountingFunction run) { m_logCounting = std::move(run); }

    // The date as the short date format yyyy/MM/dd writes it, characters
    // 1-4, 6-7 and 9-10 joined: yyyymmdd.
    static std::string DateFormat(const QDate& date);

    QGroupBox* GroupBox1;
    QGroupBox* GroupBox2;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QLabel* Label5;
    QLineEdit* DomeinEdit;
    QComboBox* ProtocolBox;  // FTP, FTPS, SFTP, in FetchProtocol's order
    QLineEdit* AcountEdit;
    QLineEdit* PassEdit;
    QLineEdit* DirectoryEdit;
    QCheckBox* SaveBox;
    QCheckBox* PassiveBox;  // "パッシブモード" (FTP and FTPS)
    // "アーカイブに取り込む": every fetched log is also kept in the archive
    // of the server's site (window.ini; on unless turned off).
    QCheckBox* ArchiveBox;
    QLineEdit* FileNameEdit;
    QPushButton* RunButton;
    TFtpManager FtpManager1;
    // The path of the last download's local copy, "logs/" + the file name,
    // relative to the data folder (UTF-8, as the file system names it).
    std::string LocalLogPath;

protected:
    // Esc closes the window, as a dialog's cancel would.
    void keyPressEvent(QKeyEvent* event) override;

private:
    void CreateControls();
    // The connection settings as the controls show them, and back.
    FetchSettings Settings() const;
    void ShowSettings(const FetchSettings& settings);
    // The default file name, then the stored settings.
    void FormCreate();
    // Fills the connection controls from materia/FTPSetting.dat.
    void LoadSetting();
    // Writes the connection controls to materia/FTPSetting.dat (owner-only:
    // it holds the password).
    void SaveSetting();
    // Fetches the file name in the directory into LocalLogPath, asking before a
    // server's certificate or host key is trusted.  A file name that would
    // put the copy anywhere but directly in logs/ is refused (Error) before
    // any connection.
    FetchOutcome DownLoad();
    void RunButtonClick();
    // Passive mode means nothing to SFTP.
    void ProtocolBoxChange();

    LogCountingFunction m_logCounting;
};

}  // namespace pomurina
