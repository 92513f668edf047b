#include "StartUp.h"

#include <QApplication>
#include <cerrno>
#include <cstdio>

#include "AboutWindow.h"
#include "DecoderWindow.h"
#include "ErrorBox.h"
#include "Errors.h"
#include "FtpWindow.h"
#include "InsightDump.h"
#include "InsightWindow.h"
#include "ListManagerWindow.h"
#include "MainWindow.h"
#include "ProgressWindow.h"
#include "QtJapanese.h"
#include "StartedWindows.h"
#include "WindowKit.h"
#include "io/DataFolder.h"
#include "io/FileIo.h"
#include "io/FileReplacement.h"
#include "io/SameFile.h"
#include "text/Cp932.h"
#include "text/TerminalText.h"
#include "window/StateDump.h"

namespace pomurina {
namespace {

// A box as one line of standard error (the mode without a screen), its
// log text and file names shown, never acted on by the terminal.
void BoxToStandardError(const std::string& text) {
    std::string line = Cp932ToUtf8(text);
    for (char& c : line)
        if (c == '\r' || c == '\n') c = ' ';
    std::fprintf(stderr, "%s\n", VisibleControls(line).c_str());
}

// The start-up failure's text: the error class, the module and the code
// address, then the message.
std::string ApplicationErrorText(const char* errorClass, const std::string& message) {
    char address[32];
    std::snprintf(address, sizeof address, "%p", reinterpret_cast<void*>(&ReadStartMode));
    return Utf8ToCp932(std::string("モジュール 'pomurina' のアドレス ") + address + " で例外 " +
                       errorClass + " が発生しました。\n") +
           WithFullStop(message);
}

// The data folder, created and filled when it isn't beside the program.
// There it also becomes the current directory, so that the list manager,
// which reads its lists relative to the current directory, finds them;
// beside the program the start directory is left as it is.
bool StartInDataFolder(const std::string& programDirectory) {
    try {
        const DataFolderChoice choice = SetUpDataFolder(programDirectory);
        if (!choice.besideProgram) EnterFolder(choice.folder);
        return true;
    } catch (const Error& e) {
        const bool unreadable = dynamic_cast<const FileOpenError*>(&e) != nullptr;
        ShowApplicationError(
            ApplicationErrorText(unreadable ? "FileOpenError" : "FileCreateError", e.Message()));
        return false;
    }
}

// A stream whose bytes go to a file replacement; the first failure is kept.
struct DumpFile {
    FileReplacement file;
    int error = 0;
};

ssize_t WriteToDumpFile(void* cookie, const char* bytes, size_t size) {
    auto& dump = *static_cast<DumpFile*>(cookie);
    if (dump.error == 0) dump.error = dump.file.Write({bytes, size});
    return dump.error == 0 ? static_cast<ssize_t>(size) : -1;
}

// Writes the dump beside outPath and puts it in place only when whole, so a
// failure leaves any earlier file as it was; returns 0 or the error number.
int SaveStateDump(const std::string& outPath, const std::optional<std::string>& error) {
    DumpFile dump{FileReplacement(outPath)};
    if (const int failed = dump.file.Open()) return failed;
    std::FILE* out = ::fopencookie(&dump, "wb", {nullptr, WriteToDumpFile, nullptr, nullptr});
    if (!out) return errno;
    const bool written = WriteStateDump(*Form1, error, out);
    if (std::fclose(out) != 0 || !written) return dump.error != 0 ? dump.error : EIO;
    // A dump is made again on demand; waiting for the disk adds nothing.
    return dump.file.Commit(FileReplacement::Flush::Not);
}

// The insight as the analysis window's tables hold it, written the same way.
int SaveInsightDump(const std::string& outPath) {
    FileReplacement file(outPath);
    if (const int failed = file.Open()) return failed;
    if (const int failed =
            file.Write(InsightDumpText(InsightForm ? InsightForm->Models() : nullptr)))
        return failed;
    return file.Commit(FileReplacement::Flush::Not);
}

int DumpState(const std::string& outPath, const std::vector<std::string>& logFiles, DumpKind kind) {
    // The dump describes the logs; it never takes their place.
    try {
        RefuseAnalysedLog(outPath, logFiles);
    } catch (const Error& e) {
        BoxToStandardError(WithFullStop(e.Message()));
        return 1;
    }
    std::optional<std::string> error;
    if (!logFiles.empty()) {
        try {
            Form1->LogCounting(logFiles);
        } catch (...) {
            error = WithFullStop(CurrentExceptionMessage());
        }
    }
    const int failed =
        kind == DumpKind::Insight ? SaveInsightDump(outPath) : SaveStateDump(outPath, error);
    if (failed != 0) {
        BoxToStandardError(WithFullStop(FileCreateFailure(outPath, failed).Message()));
        return 1;
    }
    if (error) {
        BoxToStandardError(*error);
        return 1;
    }
    return 0;
}

}  // namespace

std::variant<StartRequest, CommandLineProblem> ParseCommandLine(
    const std::vector<std::string>& arguments) {
    StartRequest request;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& arg = arguments[i];
        if (arg == "--dump-state" || arg == "--dump-insight") {
            if (request.dumpPath || i + 1 >= arguments.size())
                return CommandLineProblem{arg + " takes one OUT file"};
            request.dumpKind = arg == "--dump-state" ? DumpKind::State : DumpKind::Insight;
            request.dumpPath = AbsolutePath(arguments[++i]);
        } else if (arg.size() > 1 && arg[0] == '-') {
            return CommandLineProblem{"unknown option " + arg};
        } else {
            request.logFiles.push_back(AbsolutePath(arg));
        }
    }
    return request;
}

std::string ReadStartMode() {
    std::string bytes;
    if (const int error = ReadWholeFile("materia/setup.ini", bytes))
        throw InOutError(InOutErrorText(error));
    return bytes.substr(0, bytes.find_first_of("\r\n\x1a"));
}

bool StartUp(const std::string& programDirectory, StartedWindows& windows) {
    QApplication::setApplicationName(QString::fromUtf8("ポムリナ"));
    QApplication::setWindowIcon(ProgramIcon());
    QApplication::setFont(WindowFont());
    InstallQtJapanese();
    if (!StartInDataFolder(programDirectory)) return false;
    Guarded([&] { windows.Create(Form1); });
    Guarded([&] { windows.Create(Form2); });
    Guarded([&] { windows.Create(VersionINFO); });
    Guarded([&] { windows.Create(Domein); });
    Guarded([&] { windows.Create(UTF); });
    Guarded([&] { windows.Create(InsightForm); });
    // The FTP manager's creation also makes the data folder the current one.
    Guarded([&] {
        windows.Create(FTP).SetLogCounting([](const std::string& path) {
            if (Form1) Form1->LogCounting(path);
        });
    });
    std::string mode;
    try {
        mode = ReadStartMode();
    } catch (const Error& e) {
        ShowApplicationError(ApplicationErrorText("InOutError", e.Message()));
        return false;
    }
    if (mode == "ftp") {
        Guarded([] { ShowNonModal(FTP); });
    } else if (mode == "local" && Form1) {
        Form1->Button1Click();
    }
    return true;
}

int RunProgram(const StartRequest& request) {
    if (request.dumpPath) {
        SetHeadless(true);
        SetErrorBoxHandler(BoxToStandardError);
        SetInformationHandler(BoxToStandardError);
    }
    StartedWindows windows;
    if (!StartUp(ProgramDirectory(), windows) || !Form1) return 1;
    if (request.dumpPath) return DumpState(*request.dumpPath, request.logFiles, request.dumpKind);
    if (!request.logFiles.empty()) Form1->OpenLogs(request.logFiles);
    Form1->show();
    return QApplication::exec();
}

}  // namespace pomurina
