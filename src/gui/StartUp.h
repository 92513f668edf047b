#pragma once
// The program's start: the command line, the windows in their order, the
// start mode of materia/setup.ini, then the event loop, or, for automation,
// the state of every result written to a file instead.
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace pomurina {

class StartedWindows;

// What a dump holds: every result's state, or the insight as the analysis
// window's tables hold it (written as the report tool's JSON "insight").
enum class DumpKind { State, Insight };

// What the command line asks for: "LOGFILE...", "--dump-state OUT [LOGFILE...]"
// or "--dump-insight OUT [LOGFILE...]".
struct StartRequest {
    std::vector<std::string> logFiles;    // absolute, analysed as one log
    std::optional<std::string> dumpPath;  // absolute
    DumpKind dumpKind = DumpKind::State;
};

// A command line that makes no sense, and why ("unknown option -x").
struct CommandLineProblem {
    std::string text;
};

// Reads the arguments after the program's name.  Relative paths are made
// absolute here, against the directory the program was started in, since
// start-up changes the current directory.
std::variant<StartRequest, CommandLineProblem> ParseCommandLine(
    const std::vector<std::string>& arguments);

// Start-up: the application's title and font, Qt's Japanese texts, the data
// folder (chosen from programDirectory), the windows in their order (main,
// progress, About, list manager, decoder, analysis, FTP manager) created into windows,
// then the start mode.  False when the data folder can't be made or
// materia/setup.ini can't be read: the "アプリケーション エラー" box has been
// shown and the program must end with exit code 1.
bool StartUp(const std::string& programDirectory, StartedWindows& windows);

// The start mode: the first line of materia/setup.ini (up to CR, LF, 0x1A or
// the end).  Throws InOutError when the file can't be read.
std::string ReadStartMode();

// Start-up and what the request asks for; returns the exit code.
int RunProgram(const StartRequest& request);

}  // namespace pomurina
