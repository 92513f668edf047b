// Start-up: the command line, the windows in their order, the start mode,
// and the program itself: its --dump-state equals the report tool's --dump.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QWidget>
#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <utility>
#include <variant>

#include "AboutWindow.h"
#include "CompressTool.h"
#include "DecoderWindow.h"
#include "FtpWindow.h"
#include "GuiTestKit.h"
#include "ListManagerWindow.h"
#include "MainWindow.h"
#include "OpenDialog.h"
#include "ProgressWindow.h"
#include "StartUp.h"
#include "StartedWindows.h"
#include "widgets/FieldEdit.h"

namespace pomurina::guitest {
namespace {

namespace fs = std::filesystem;

TEST(CommandLine, RelativePathsBecomeAbsoluteAgainstTheStartDirectory) {
    const auto request = std::get<StartRequest>(
        ParseCommandLine({"--dump-state", "out.txt", "logs/access.log.1", "/x/a.log"}));
    EXPECT_EQ(request.logFiles,
              (std::vector<std::string>{(fs::current_path() / "logs/access.log.1").string(),
                                        "/x/a.log"}));
    EXPECT_EQ(*request.dumpPath, (fs::current_path() / "out.txt").string());
    EXPECT_EQ(std::get<StartRequest>(ParseCommandLine({"/var/log/../a.log"})).logFiles,
              std::vector<std::string>{"/var/log/../a.log"});
    EXPECT_TRUE(std::get<StartRequest>(ParseCommandLine({})).logFiles.empty());
}

TEST(CommandLine, WhatMakesNoSenseIsNamed) {
    const std::pair<std::vector<std::string>, const char*> cases[] = {
        {{"--dump-state"}, "--dump-state takes one OUT file"},
        {{"--dump-state", "a", "--dump-state", "b"}, "--dump-state takes one OUT file"},
        {{"--dump-insight"}, "--dump-insight takes one OUT file"},
        {{"--dump-state", "a", "--dump-insight", "b"}, "--dump-insight takes one OUT file"},
        {{"a.log", "--verbose"}, "unknown option --verbose"},
    };
    for (const auto& [arguments, text] : cases) {
        const auto parsed = ParseCommandLine(arguments);
        ASSERT_TRUE(std::holds_alternative<CommandLineProblem>(parsed)) << text;
        EXPECT_EQ(std::get<CommandLineProblem>(parsed).text, text);
    }
}

class StartUpTest : public ::testing::Test {
protected:
    // Started beside its data, as run.sh starts it: the list manager reads
    // the lists relative to the directory the program was started in.
    StartUpTest() { fs::current_path(home.Path()); }
    ~StartUpTest() override { SetOpenFileChooser(nullptr); }
    // Start-up with setup.ini holding bytes; counts the open dialogs shown.
    bool StartWith(const std::string& setup) {
        home.WriteFile("materia/setup.ini", setup);
        SetOpenFileChooser([this](QWidget*) {
            ++dialogs;
            return answer;
        });
        return StartUp(home.Path().string(), windows);
    }

    ProgramHome home;
    CaughtBoxes boxes;
    StartedWindows windows;
    int dialogs = 0;
    std::vector<std::string> answer;
};

TEST_F(StartUpTest, CreatesEveryWindowAndReadsTheModeBesideTheProgram) {
    fs::current_path("/");
    ASSERT_TRUE(StartWith("none\r\n"));
    for (const QWidget* window : {static_cast<QWidget*>(Form1), static_cast<QWidget*>(Form2),
                                  static_cast<QWidget*>(VersionINFO), static_cast<QWidget*>(Domein),
                                  static_cast<QWidget*>(UTF), static_cast<QWidget*>(FTP)}) {
        ASSERT_NE(window, nullptr);
        EXPECT_FALSE(window->isVisible());
    }
    EXPECT_EQ(fs::current_path(), home.Path());
    EXPECT_EQ(dialogs, 0);
    // Started elsewhere, the list manager finds no lists there (one box each),
    // while the start mode is still read beside the program.
    ASSERT_EQ(boxes.Texts().size(), 3u);
    for (const char* list :
         {"/materia/DomeinList.dat", "/materia/CheckDomeinList.dat", "/materia/SERobotsList.dat"})
        EXPECT_EQ(std::count_if(boxes.Texts().begin(), boxes.Texts().end(),
                                [&](const std::string& text) {
                                    return text.find(list) != std::string::npos;
                                }),
                  1);
}

TEST_F(StartUpTest, StartedBesideItsDataNoBoxIsShown) {
    ASSERT_TRUE(StartWith("none"));
    EXPECT_TRUE(boxes.Texts().empty());
}

TEST_F(StartUpTest, OnlyTheExactFirstLineFtpShowsTheFtpWindow) {
    const std::pair<std::string, bool> modes[] = {{"ftp", true},
                                                  {"ftp\r\nlocal", true},
                                                  {"ftp\x1a"
                                                   "local",
                                                   true},
                                                  {"ftp\nx", true},
                                                  {"FTP", false},
                                                  {"ftp ", false},
                                                  {"", false},
                                                  {"\r\nftp", false},
                                                  {std::string("ftp\0", 4), false}};
    for (const auto& [mode, shown] : modes) {
        ASSERT_TRUE(StartWith(mode));
        EXPECT_EQ(FTP->isVisible(), shown) << mode;
        EXPECT_EQ(dialogs, 0);
        windows.Close();
    }
}

TEST_F(StartUpTest, LocalOpensTheDialogAndAnalysesBeforeTheWindowShows) {
    ASSERT_TRUE(StartWith("local\r\nftp\r\n"));
    EXPECT_EQ(dialogs, 1);
    EXPECT_FALSE(FTP->isVisible());
    // Cancelled: nothing happened.
    EXPECT_EQ(Form1->GetField(FieldId::SummaryConnections).Text(), "-");
    windows.Close();

    answer = {home.WriteFile(
        "a.log", LogLine(3, "GET /", 200, "1") + "\n" + LogLine(4, "GET /", 200, "1") + "\n")};
    ASSERT_TRUE(StartWith("local"));
    EXPECT_EQ(Form1->GetField(FieldId::SummaryConnections).Text(), "2");
    EXPECT_FALSE(Form1->isVisible());
    EXPECT_TRUE(boxes.Texts().empty());
}

TEST_F(StartUpTest, AMissingSetupFileIsAnApplicationError) {
    home.RemoveFile("materia/setup.ini");
    EXPECT_FALSE(StartUp(home.Path().string(), windows));
    ASSERT_EQ(boxes.Texts().size(), 1u);
    const std::string& text = boxes.Texts()[0];
    EXPECT_NE(text.find("InOutError"), std::string::npos);
    EXPECT_NE(text.find("pomurina"), std::string::npos);
    EXPECT_TRUE(text.ends_with("\nファイルが見つかりません.")) << text;
    EXPECT_FALSE(Form1->isVisible());
}

// The programs themselves, run as a user or a script would.
struct Outcome {
    int exitCode;
    std::string out;  // the file written, or empty
};

std::string Quote(const std::string& s) {
    return "'" + s + "'";
}

// Runs a dump with no screen and no platform chosen: a run that shows no
// window must do without them by itself.
Outcome RunProgram(const std::string& command, const fs::path& outFile) {
    fs::remove(outFile);
    const int status = std::system(
        ("unset QT_QPA_PLATFORM DISPLAY WAYLAND_DISPLAY; " + command + " 2>/dev/null").c_str());
    std::ifstream in(outFile, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, bytes.str()};
}

// Both programs on the same logs: the window's dump and the report tool's.
void ExpectSameDump(const std::vector<std::string>& logs, const fs::path& scratch) {
    std::string quoted;
    for (const std::string& log : logs) quoted += " " + Quote(log);
    const Outcome window = RunProgram(
        Quote(POMURINA_WINDOW) + " --dump-state " + Quote((scratch / "w").string()) + quoted,
        scratch / "w");
    const Outcome report = RunProgram(
        Quote(POMURINA_REPORT) + " --dump" + quoted + " > " + Quote((scratch / "r").string()),
        scratch / "r");
    EXPECT_EQ(window.exitCode, report.exitCode) << quoted;
    ASSERT_FALSE(window.out.empty()) << quoted;
    EXPECT_TRUE(window.out == report.out) << quoted;
}
void ExpectSameDump(const std::string& log, const fs::path& scratch) {
    ExpectSameDump(std::vector<std::string>{log}, scratch);
}

TEST(Program, ItsDumpEqualsTheReportToolsOnHandMadeLogs) {
    ProgramHome home;
    const auto write = [&](const char* name, const std::string& bytes) {
        return home.WriteFile(name, bytes);
    };
    ExpectSameDump(write("empty.log", ""), home.Path());
    ExpectSameDump(
        write("three.log", LogLine(1, "GET /a", 200, "1536") + "\r\n" +
                               LogLine(2, "POST /b", 404, "-") + "\r\n" +
                               LogLine(23, "GET /robots.txt", 403, "5", "h", "http://x/")),
        home.Path());
    ExpectSameDump(
        write("bad.log", LogLine(1, "GET /a", 200, "1") + "\n[05/Mar/2020:?4:00:00] \"GET /b\"\n"),
        home.Path());
    ExpectSameDump(
        write("sjis.log",
              Sjis("ホスト - - [05/Mar/2020:10:00:00 +0900] \"GET /日本 HTTP/1.1\" 200 7\n")),
        home.Path());
    ExpectSameDump((home.Path() / "missing.log").string(), home.Path());
}

TEST(Program, ItsDumpEqualsTheReportToolsOnSeveralCompressedLogs) {
    ProgramHome home;
    std::vector<std::string> logs;
    for (const testing::CompressTool& tool : testing::CompressTools()) {
        const std::string text = LogLine(static_cast<int>(logs.size()) + 1, "GET /" + tool.extension, 200, "10");
        logs.push_back(
            home.WriteFile("access_log." + std::to_string(4 - logs.size()) + tool.extension,
                           testing::RunFilter(tool.command, text)));  // no line end
    }
    logs.push_back(home.WriteFile("access_log", LogLine(9, "POST /", 404, "-") + "\n"));
    ExpectSameDump(logs, home.Path());
    // A damaged one among them: the same failure.
    home.WriteFile("access_log.2.xz",
                   "\xfd"
                   "7zXZ" +
                       std::string(20, '\0'));
    ExpectSameDump(logs, home.Path());
}

TEST(Program, ItsDumpEqualsTheReportToolsOnTheRealLogs) {
    if (!fs::is_directory(POMURINA_REALLOGS)) GTEST_SKIP() << "no real logs here";
    ProgramHome scratch;
    for (const auto& entry : fs::directory_iterator(POMURINA_REALLOGS))
        if (entry.path().extension() == ".log")
            ExpectSameDump(entry.path().string(), scratch.Path());
}

// The insight as the analysis window's tables hold it is the report tool's
// member "insight", byte for byte.
void ExpectSameInsight(const std::string& log, const fs::path& scratch) {
    const Outcome window = RunProgram(Quote(POMURINA_WINDOW) + " --dump-insight " +
                                          Quote((scratch / "w").string()) + " " + Quote(log),
                                      scratch / "w");
    const Outcome report = RunProgram(
        Quote(POMURINA_REPORT) + " --json " + Quote(log) + " > " + Quote((scratch / "r").string()),
        scratch / "r");
    EXPECT_EQ(window.exitCode, report.exitCode) << log;
    const std::size_t at = report.out.find("\n  \"insight\": ");
    ASSERT_NE(at, std::string::npos) << log;
    ASSERT_GE(report.out.size(), at + 4);
    // From the member to the object's end ("\n}\n"), as one line block.
    const std::string insight = report.out.substr(at + 1, report.out.size() - at - 4) + "\n";
    EXPECT_TRUE(window.out == insight) << log << "\n" << window.out.substr(0, 300);
}

TEST(Program, ItsInsightDumpEqualsTheReportToolsInsight) {
    ProgramHome home;
    ExpectSameInsight(home.WriteFile("empty.log", ""), home.Path());
    ExpectSameInsight(
        home.WriteFile(
            "sjis.log",
            Sjis("ホスト - - [05/Mar/2020:10:00:00 +0900] \"GET /日本 HTTP/1.1\" 200 7\n")),
        home.Path());
    ExpectSameInsight((home.Path() / "missing.log").string(), home.Path());
    const std::string generated = (home.Path() / "variety.log").string();
    ASSERT_EQ(std::system((std::string(POMURINA_GENLOG) + " --variety --lines 30000 --seed 24 > " +
                           Quote(generated))
                              .c_str()),
              0);
    ExpectSameInsight(generated, home.Path());
    if (!fs::is_directory(POMURINA_REALLOGS)) return;
    for (const auto& entry : fs::directory_iterator(POMURINA_REALLOGS))
        if (entry.path().extension() == ".log")
            ExpectSameInsight(entry.path().string(), home.Path());
}

TEST(Program, ARelativeLogIsReadFromTheStartDirectory) {
    ProgramHome home;
    home.WriteFile("here.log", LogLine(12, "GET /", 200, "1") + "\n");
    const Outcome window = RunProgram("cd " + Quote(home.Path().string()) + " && " +
                                          Quote(POMURINA_WINDOW) + " --dump-state out here.log",
                                      home.Path() / "out");
    EXPECT_EQ(window.exitCode, 0);
    EXPECT_NE(window.out.find("field Edit35 " + (home.Path() / "here.log").string() + "\n"),
              std::string::npos);
}

// The dump is written as every other output: beside its place and renamed,
// never over a log it describes, and a failed one leaves the old file.
TEST(Program, ItsDumpNeverReplacesALogAndAFailedOneKeepsTheOldFile) {
    ProgramHome home;
    const std::string log = LogLine(12, "GET /", 200, "1") + "\n";
    home.WriteFile("a.log", log);
    home.WriteFile("old.txt", "old dump\n");
    fs::create_symlink("a.log", home.Path() / "link.log");
    const auto run = [&](const std::string& arguments, const std::string& limit = "") {
        const std::string err = (home.Path() / "err").string();
        const int status =
            std::system(("cd " + Quote(home.Path().string()) + " && " + limit +
                         "XDG_RUNTIME_DIR=. QT_QPA_PLATFORM=offscreen " + Quote(POMURINA_WINDOW) +
                         " --dump-state " + arguments + " 2>" + Quote(err))
                            .c_str());
        return std::pair(WIFEXITED(status) ? WEXITSTATUS(status) : -1, home.ReadFile("err"));
    };
    const std::string refused = "\". 解析したログそのものです を作成できません.\n";
    const struct {
        const char* arguments;
        std::string out, message;
    } cases[] = {
        {"a.log a.log", "a.log", refused},
        {"link.log old.txt a.log", "link.log", refused},
        // More than the system lets the program write (a full disk for root).
        {"old.txt a.log", "old.txt",
         "\". ファイルのサイズが上限を超えています を作成できません.\n"},
    };
    for (const auto& c : cases) {
        const auto [status, err] =
            run(c.arguments, c.out == "old.txt" ? "trap '' XFSZ; ulimit -f 1; " : "");
        EXPECT_EQ(status, 1) << c.arguments;
        EXPECT_EQ(err, "ファイル \"" + (home.Path() / c.out).string() + c.message) << c.arguments;
        EXPECT_EQ(home.ReadFile("a.log"), log) << c.arguments;
        EXPECT_EQ(home.ReadFile("old.txt"), "old dump\n") << c.arguments;
    }
    EXPECT_EQ(run("old.txt a.log").first, 0);
    EXPECT_EQ(home.ReadFile("old.txt").rfind("pomurina-dump 1\n", 0), 0u);
    EXPECT_EQ(std::distance(fs::directory_iterator(home.Path()), {}), 6);  // nothing left beside
}

TEST(Program, WithoutItsSetupFileItEndsWithExitCodeOne) {
    ProgramHome home;
    fs::remove_all(home.Path() / "materia");
    fs::copy_file(POMURINA_WINDOW, home.Path() / "pomurina");
    const fs::path out = home.Path() / "out";
    // Away from materia/ its data folder is the one under HOME, here with
    // no installed defaults to fill it from.
    const int status = std::system(
        ("QT_QPA_PLATFORM=offscreen XDG_DATA_HOME= HOME=" + Quote(home.Path().string()) + " " +
         Quote((home.Path() / "pomurina").string()) + " --dump-state " + Quote(out.string()) +
         " 2>" + Quote((home.Path() / "err").string()))
            .c_str());
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_FALSE(fs::exists(out));
    std::ifstream err(home.Path() / "err");
    std::string all((std::istreambuf_iterator<char>(err)), {});
    EXPECT_NE(all.find("ファイルが見つかりません."), std::string::npos) << all;
}

}  // namespace
}  // namespace pomurina::guitest
