#include "FetchCommand.h"

#include <sys/stat.h>

#include <cstdio>
#include <ctime>

#include "Errors.h"
#include "LogFetch.h"
#include "archive/ArchiveImport.h"
#include "archive/FetchedLogs.h"
#include "fetch/Fingerprint.h"
#include "fetch/LogFileName.h"
#include "io/DataFolder.h"
#include "io/FileIo.h"
#include "text/Cp932.h"
#include "text/TerminalText.h"

namespace pomurina {
namespace {

// Prints a Shift-JIS message as UTF-8 lines (the window's carriage returns
// become line ends; other controls show as text).
void PrintMessage(const std::string& sjis) {
    std::string text = Cp932ToUtf8(sjis);
    for (char& c : text)
        if (c == '\r') c = '\n';
    std::fprintf(stderr, "%s\n", VisibleControls(text).c_str());
}

// What to do about a server nobody has trusted yet, in the words of this tool.
std::string TrustAdvice(const FetchReport& report, const std::optional<std::string>& trust) {
    if (trust)
        return Utf8ToCp932("--trust で指定されたフィンガープリント (") + Utf8ToCp932(*trust) +
               Utf8ToCp932(") は、サーバーのものと一致しません。");
    return Utf8ToCp932("ホストの管理者にフィンガープリントを確かめ、正しければ --trust ") +
           report.fingerprint + Utf8ToCp932(" を付けて実行すると、信頼して記憶します。");
}

// Warns when others than the owner may read the settings, which hold the
// password (a file made by hand or by an older build may be so).
void WarnIfOthersMayRead(const std::string& settingsFile) {
    struct stat info {};
    if (::stat(settingsFile.c_str(), &info) != 0 || (info.st_mode & (S_IRGRP | S_IROTH)) == 0)
        return;
    const std::string path = PathText(settingsFile);
    PrintMessage(
        Utf8ToCp932("警告: 接続設定ファイル \"") + path +
        Utf8ToCp932("\" は、ほかのユーザーも読めます。パスワードが漏れないよう、chmod 600 '") +
        path + Utf8ToCp932("' で持ち主だけが読めるようにしてください。"));
}

// Imports the fetched copy into the archive of the server's site, as the
// FTP window does.  Quiet when it went well (a cron job mails what is
// printed); a log refused or a failure is said, and the analysis goes on.
void KeepInArchive(const std::string& dataFolder, const FetchSettings& settings,
                   const std::string& localPath) {
    const std::string site = SiteOfServer(Cp932ToUtf8(settings.server));
    try {
        const std::string path =
            localPath.starts_with('/') ? localPath : dataFolder + "/" + localPath;
        const ImportResult result = ImportLogs(dataFolder, site, {path});
        for (const std::string& refused : result.refused)
            PrintMessage(Utf8ToCp932("アーカイブ「" + site + "」: ") + refused);
    } catch (...) {
        PrintMessage(Utf8ToCp932("アーカイブ「" + site + "」に取り込めませんでした: ") +
                     WithFullStop(CurrentExceptionMessage()));
    }
}

}  // namespace

int FetchForReport(const FetchArguments& arguments, RunPlaces& places, std::string& logFile) {
    const std::string name = arguments.name.value_or(DefaultLogFileName(std::time(nullptr)));
    // The copy's name in logs/, as given and after the trip through Shift-JIS.
    const std::string fileName = Utf8ToCp932(name);
    try {
        CheckLogFileName(name);
        if (Cp932ToUtf8(fileName) != name)
            throw Error(Utf8ToCp932("ファイル名 \"") + fileName +
                        Utf8ToCp932("\" には Shift_JIS で書けない文字があります"));
    } catch (const Error& e) {
        PrintMessage(WithFullStop(e.Message()));
        return 2;
    }
    try {
        const std::string dataFolder = SetUpDataFolder(places.programDirectory).folder;
        const std::string materia = arguments.materia.value_or(dataFolder + "/materia");
        const std::string settingsFile = materia + "/" + kFetchSettingsFile;
        const FetchSettings settings = LoadFetchSettings(settingsFile);
        WarnIfOthersMayRead(settingsFile);
        TFtpManager ftp;
        const FetchOutcome outcome = FetchLog(
            ftp, settings, fileName, FetchPlaces{dataFolder, materia},
            [&](const FetchReport& report) {
                return arguments.trust && SameFingerprint(*arguments.trust, report.fingerprint);
            });
        if (!outcome.Ok()) {
            PrintMessage(FetchFailureText(outcome.report));
            if (IsUnknownServer(outcome.report.failure))
                PrintMessage(TrustAdvice(outcome.report, arguments.trust));
            return 1;
        }
        places.programDirectory = dataFolder;
        places.materiaDirectory = materia;
        logFile = outcome.localPath;
        if (ImportsFetchedLogs(materia)) KeepInArchive(dataFolder, settings, logFile);
        return 0;
    } catch (...) {
        PrintMessage(WithFullStop(CurrentExceptionMessage()));
        return 1;
    }
}

}  // namespace pomurina
