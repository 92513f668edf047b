// pomurina-report --json, --html and --csv as a user runs them: where the
// files go, what is refused, and the progress shown only on a terminal.
#include <gtest/gtest.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>

#include "AnalysisTestSupport.h"
#include "ReportToolRun.h"
#include "TerminalProgress.h"
#include "text/Cp932.h"

using namespace pomurina;
using namespace pomurina::testing;

namespace {

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

// Runs the report tool with arguments (already quoted) in folder.
Outcome Report(const std::string& arguments, const std::filesystem::path& folder,
               const std::string& environment = "") {
    const std::filesystem::path err = folder / "stderr.txt";
    const ReportOutcome o =
        RunReport(arguments, err.string(), "cd '" + folder.string() + "' && " + environment);
    Outcome outcome{o.status, o.out, ReadFileBytes(err)};
    std::filesystem::remove(err);
    return outcome;
}

// Runs the report tool with its standard error on a pseudo-terminal and its
// output in out; returns what the terminal received.
std::string ReportOnTerminal(const std::vector<std::string>& arguments, const std::string& out) {
    int terminal = -1;
    const pid_t child = ::forkpty(&terminal, nullptr, nullptr, nullptr);
    if (child == 0) {
        std::FILE* file = std::fopen(out.c_str(), "w");
        ::dup2(fileno(file), STDOUT_FILENO);
        ::setenv("POMURINA_PROGRESS_AFTER_MS", "0", 1);
        std::vector<char*> argv{const_cast<char*>(POMURINA_REPORT)};
        for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ::execv(POMURINA_REPORT, argv.data());
        ::_exit(127);
    }
    std::string seen;
    char buffer[4096];
    ssize_t n;
    while ((n = ::read(terminal, buffer, sizeof buffer)) > 0) seen.append(buffer, buffer + n);
    int status = 0;
    ::waitpid(child, &status, 0);
    ::close(terminal);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    return seen;
}

const std::string kLine =
    "192.0.2.7 - - [06/Dec/2026:09:15:02 +0900] \"GET /a HTTP/1.1\" 200 1536 \"-\" \"Mozilla\"\n";

}  // namespace

TEST(ReportFiles, TheHtmlGoesWhereTheUserStartedTheToolAndWholeOrNotAtAll) {
    ProgramDir dir;
    dir.WriteFile("a.log", kLine);
    const std::string materia = " --materia '" + (dir.Path() / "materia").string() + "' ";
    const Outcome o = Report("--html report.html" + materia + "a.log", dir.Path());
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.out, "");  // the report is the result
    EXPECT_EQ(dir.ReadFile("report.html").rfind("<!DOCTYPE html>", 0), 0u);

    const Outcome both = Report("--json --html report.html" + materia + "a.log", dir.Path());
    EXPECT_EQ(both.out.rfind("{\n  \"format\": \"pomurina-report\",\n  \"version\": 1,", 0), 0u);

    const Outcome missingFolder = Report("--html none/report.html" + materia + "a.log", dir.Path());
    EXPECT_EQ(missingFolder.status, 1);
    EXPECT_NE(missingFolder.err.find(
                  "none/report.html\". 指定されたファイルが見つかりません を作成できません"),
              std::string::npos)
        << missingFolder.err;
}

TEST(ReportFiles, TheHtmlNeverTakesThePlaceOfALogItDescribes) {
    ProgramDir dir;
    dir.WriteFile("a.log", kLine);
    dir.WriteFile("b.log", kLine);
    std::filesystem::create_symlink("a.log", dir.Path() / "link.log");
    const std::string materia = " --materia '" + (dir.Path() / "materia").string() + "' ";
    // The HTML file, then the logs and what standard input reads.
    for (const char* arguments : {"a.log a.log", "link.log a.log", "a.log b.log - < a.log",
                                  "b.log - < b.log", "a.log - < link.log"}) {
        const std::string html(arguments, std::strchr(arguments, ' '));
        const Outcome o =
            Report("--html " + html + materia + std::strchr(arguments, ' '), dir.Path());
        EXPECT_EQ(o.status, 1) << arguments;
        EXPECT_NE(o.err.find("解析したログそのものです を作成できません."), std::string::npos)
            << arguments << ": " << o.err;
        EXPECT_EQ(dir.ReadFile("a.log"), kLine) << arguments;
        EXPECT_EQ(dir.ReadFile("b.log"), kLine) << arguments;
    }
}

TEST(ReportFiles, CsvTablesGoWhereTheUserStartedTheToolAndNeverOverALog) {
    ProgramDir dir(ProgramDir::Materia::Defaults);
    dir.WriteFile("a.log", kLine);
    const std::string materia = " --materia '" + (dir.Path() / "materia").string() + "' ";
    const Outcome o = Report("--csv tables" + materia + "a.log", dir.Path());
    EXPECT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.out, "");  // the tables are the result
    const std::string pages = dir.ReadFile("tables/pages.csv");
    EXPECT_EQ(pages, "\xEF\xBB\xBFページ,ヒット,訪問者,バイト,入口,出口\r\n/a,1,1,1536,1,1\r\n");

    // A log named like a table, given by name or on standard input: nothing
    // is written, and the tables written before stay as they were.
    const std::string log = dir.WriteFile("tables/hosts.csv", kLine);
    for (const std::string& arguments :
         {"--csv tables" + materia + "tables/hosts.csv", "--csv tables" + materia + "- <" + log}) {
        const Outcome refused = Report(arguments, dir.Path());
        EXPECT_EQ(refused.status, 1) << arguments;
        EXPECT_NE(refused.err.find("tables/hosts.csv\". 解析したログそのものです を作成できません"),
                  std::string::npos)
            << refused.err;
        EXPECT_EQ(dir.ReadFile("tables/hosts.csv"), kLine);
        EXPECT_EQ(dir.ReadFile("tables/pages.csv"), pages);
    }
    // So is an HTML report over standard input's file.
    const Outcome html = Report("--html tables/hosts.csv" + materia + "- <" + log, dir.Path());
    EXPECT_EQ(html.status, 1);
    EXPECT_EQ(dir.ReadFile("tables/hosts.csv"), kLine);
}

TEST(ReportFiles, WithoutItsRulesARunHasNoInsightAndSaysWhy) {
    ProgramDir dir(ProgramDir::Materia::Defaults);
    dir.WriteFile("a.log", kLine);
    std::filesystem::remove(dir.Path() / "materia" / "SearchEngines.dat");
    std::filesystem::create_directory(dir.Path() / "materia" / "SearchEngines.dat");
    const std::string problem = "アクセス解析の規則ファイルを読み込めないため、アクセス解析はありません: "
                                "ファイル \"" +
                                (dir.Path() / "materia" / "SearchEngines.dat").string() + "\". ";
    const Outcome json = Report("--json --materia materia a.log", dir.Path());
    EXPECT_EQ(json.status, 0);
    EXPECT_EQ(json.err.rfind(problem, 0), 0u) << json.err;
    EXPECT_NE(json.out.find("\n  },\n  \"insight\": null\n}\n"), std::string::npos);

    const Outcome csv = Report("--csv tables --materia materia a.log", dir.Path());
    EXPECT_EQ(csv.status, 1);
    EXPECT_NE(csv.err.find("\nアクセス解析がないため、CSV ファイルは書きませんでした.\n"),
              std::string::npos)
        << csv.err;
    EXPECT_FALSE(std::filesystem::exists(dir.Path() / "tables"));
}

TEST(ReportFiles, RefusesCombinationsThatCantWork) {
    TempDir dir;
    for (const char* arguments : {"--dump --json a.log", "--with-log a.log", "--html",
                                  "--html '' a.log", "--decode --json", "--decode --html x.html"}) {
        const Outcome o = Report(arguments, dir.Path());
        EXPECT_EQ(o.status, 2) << arguments;
        EXPECT_NE(o.err.find("usage: pomurina-report"), std::string::npos) << arguments;
    }
}

TEST(ReportFiles, AJsonThatCantBeWrittenFailsLoudly) {
    ProgramDir dir;
    dir.WriteFile("a.log", kLine);
    const Outcome o = Report("--json --materia materia a.log >/dev/full", dir.Path());
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.err, "pomurina-report: cannot write the JSON report\n");
}

TEST(ReportFiles, ProgressShowsOnATerminalAndNeverInAFile) {
    ProgramDir dir;
    std::string log;
    for (int i = 0; i < 2000; ++i) log += kLine;
    const std::string path = dir.WriteFile("a.log", log);
    const std::string json = (dir.Path() / "out.json").string();
    const std::string seen =
        ReportOnTerminal({"--json", "--materia", (dir.Path() / "materia").string(), path}, json);
    EXPECT_NE(seen.find("ログを読み込んでいます...\x1b[K"), std::string::npos) << seen;
    EXPECT_EQ(seen.substr(seen.size() - 4), "\r\x1b[K");  // cleared at the end
    EXPECT_EQ(ReadFileBytes(json).rfind("{\n  \"format\"", 0), 0u);

    const Outcome quiet =
        Report("--json --materia materia a.log", dir.Path(), "POMURINA_PROGRESS_AFTER_MS=0");
    EXPECT_EQ(quiet.status, 0);
    EXPECT_EQ(quiet.err, "");
}

// An escape sequence in a log or a file name (OSC 52 sets the clipboard)
// shows as text on the terminal, in messages and in the progress line.
TEST(ReportFiles, LogTextAndFileNamesShowTheirControlsOnTheTerminal) {
    ProgramDir dir;
    const std::string osc = "\x1b]52;c;aGk=\x07", shown = "\\x1b]52;c;aGk=\\x07";
    std::string line = kLine;
    line.replace(line.find("1536"), 4, osc);
    dir.WriteFile("bad.log", line);
    const std::string named = (dir.Path() / ("n" + osc + ".log")).string();
    const std::string materia = " --materia '" + (dir.Path() / "materia").string() + "' ";
    const struct {
        std::string arguments, message;
    } cases[] = {
        {"bad.log", "'" + shown + "' は整数ではありません.\n"},
        {"'none" + osc + "'", "ファイル \"" + (dir.Path() / ("none" + shown)).string() + "\". "},
    };
    for (const auto& c : cases) {
        const Outcome o = Report(materia + c.arguments, dir.Path());
        EXPECT_EQ(o.status, 1);
        EXPECT_EQ(o.err.find('\x1b'), std::string::npos) << o.err;
        EXPECT_NE(o.err.find(c.message), std::string::npos) << o.err;
    }
    // The progress line names the log being read.
    ProgressState state;
    state.lastLine = Utf8ToCp932(named + "を読み込んでいます...");
    EXPECT_EQ(ProgressText(state),
              (dir.Path() / ("n" + shown + ".log")).string() + "を読み込んでいます...");
}

TEST(ProgressText, SaysWhatTheToolDoesAndHowFarTheCountingIs) {
    ProgressState state;
    EXPECT_EQ(ProgressText(state), "ログを読み込んでいます...");
    state.lastLine = Utf8ToCp932("初期化しています...");
    EXPECT_EQ(ProgressText(state), "ログを読み込んでいます...");
    state.lastLine = Utf8ToCp932("データを集計しています...");
    state.maximum = 3000000;
    state.position = 1500001;
    EXPECT_EQ(ProgressText(state), "データを集計しています... 50% (1500001/3000000 行)");
    state.lastLine = Utf8ToCp932("結果を出力しています...");
    EXPECT_EQ(ProgressText(state), "結果を出力しています...");
    state.activity = "JSONレポートを書いています...";
    EXPECT_EQ(ProgressText(state), "JSONレポートを書いています...");
}

TEST(ProgressText, FitsTheTerminalCountingWideCharactersTwice) {
    EXPECT_EQ(FitColumns("abcdef", 4), "abcd");
    EXPECT_EQ(FitColumns("データを", 5), "デー");  // never half a character
    EXPECT_EQ(FitColumns("aデ", 2), "a");
    EXPECT_EQ(FitColumns("ｱｲｳ", 3), "ｱｲｳ");  // half-width katakana is narrow
    EXPECT_EQ(FitColumns("abc", 0), "");
}
