// The report tool as a user runs it: summary, dump, exit statuses and messages.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "AnalysisTestSupport.h"
#include "ReportToolRun.h"
#include "text/Cp932.h"

using namespace pomurina;
using namespace pomurina::testing;

namespace {

using Outcome = ReportOutcome;

const std::string kLine =
    "192.0.2.7 - - [06/Dec/2026:09:15:02 +0900] \"GET /a HTTP/1.1\" 200 1536 \"-\" \"Mozilla\"\n";

}  // namespace

TEST(ReportTool, SummaryShowsTheSummaryTabInUtf8) {
    ProgramDir dir;
    const std::string log = dir.WriteFile("a.log", kLine + kLine);
    const Outcome o =
        RunReport("--materia " + (dir.Path() / "materia").string() + " --unit 1 " + log);
    EXPECT_EQ(o.status, 0);
    EXPECT_NE(o.out.find("総接続数  2"), std::string::npos) << o.out;
    EXPECT_NE(o.out.find("転送量  3 Kb"), std::string::npos) << o.out;
    EXPECT_NE(o.out.find(" 9 |"), std::string::npos);
}

TEST(ReportTool, DumpListsEveryFieldPaneAndGraph) {
    ProgramDir dir;
    const std::string log = dir.WriteFile("a.log", kLine);
    const Outcome o =
        RunReport("--dump --materia " + (dir.Path() / "materia").string() + " " + log);
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.out.rfind("pomurina-dump 1\nfield Edit1 1\nfield Edit2 1\n", 0), 0u)
        << o.out.substr(0, 200);
    EXPECT_NE(o.out.find("\nfield Edit35 " + log + "\nunit 0 0\npane NamaLog 1\n" + kLine),
              std::string::npos);
    EXPECT_NE(o.out.find("\ngraph Image3 0/0 "), std::string::npos);
    EXPECT_NE(o.out.find("\nprogressbar 1 1\nprogresswindow hidden\nprogress 13\n"),
              std::string::npos);
    EXPECT_EQ(o.out.substr(o.out.size() - 4), "end\n");
    EXPECT_EQ(o.out.find("\nerror "), std::string::npos);
}

// The fetch's library and the thirty it brings are loaded by a fetch only:
// every other run of the tool starts (twice) without them.
TEST(ReportTool, AnAnalysisLoadsNoFetchLibrary) {
    ProgramDir dir;
    const std::string log = dir.WriteFile("a.log", kLine);
    const std::string loaded = (dir.Path() / "loaded").string();
    const Outcome o = RunReport("--materia " + (dir.Path() / "materia").string() + " " + log,
                                loaded, "LD_DEBUG=libs");
    EXPECT_EQ(o.status, 0);
    const std::string said = ReadFileBytes(loaded);
    EXPECT_NE(said.find("libc.so"), std::string::npos) << "the loader said nothing";
    EXPECT_EQ(said.find("libcurl"), std::string::npos);
}

TEST(ReportTool, AFailedRunExitsWithOneAndTheErrorText) {
    ProgramDir dir;
    const std::string missing = (dir.Path() / "missing.log").string();
    const std::string errFile = (dir.Path() / "err.txt").string();
    const Outcome o =
        RunReport("--dump --materia " + (dir.Path() / "materia").string() + " " + missing, errFile);
    EXPECT_EQ(o.status, 1);
    const std::string message =
        "ファイル \"" + missing + "\". 指定されたファイルが見つかりません は開けません.";
    EXPECT_EQ(ReadFileBytes(errFile), message + "\n");
    EXPECT_NE(o.out.find("\nprogresswindow shown\n"), std::string::npos);
    EXPECT_NE(o.out.find("\nerror " + Utf8ToCp932(message) + "\nend\n"), std::string::npos);
}

TEST(ReportTool, BadArgumentsExitWithTwoAndTheUsage) {
    const std::string errFile = std::filesystem::temp_directory_path() / "pomurina-usage.txt";
    EXPECT_EQ(RunReport("", errFile).status, 2);
    EXPECT_NE(ReadFileBytes(errFile).find("usage: pomurina-report"), std::string::npos);
    EXPECT_EQ(RunReport("--unit 9 x.log").status, 2);
    EXPECT_EQ(RunReport("--bogus x.log").status, 2);
    EXPECT_EQ(RunReport("- -").status, 2);  // standard input only once
    std::filesystem::remove(errFile);
}

TEST(ReportTool, AnyBytesAtAllCompleteOrFailWithTheMessage) {  // a line of 50 MB among them
    ProgramDir dir;
    std::string binary;
    for (int i = 0; i < 4096; ++i) binary += static_cast<char>(i * 37 % 256);
    for (const std::string& bytes :
         {std::string(), std::string("\r\n\n\r"), binary, std::string(50 << 20, 'x') + "\n",
          kLine + std::string("\0\0", 2) + "junk"}) {
        const std::string log = dir.WriteFile("odd.log", bytes);
        const Outcome o =
            RunReport("--dump --materia " + (dir.Path() / "materia").string() + " " + log);
        EXPECT_TRUE(o.status == 0 || o.status == 1) << o.status;
        EXPECT_EQ(o.out.substr(o.out.size() - 4), "end\n");
    }
}

TEST(ReportTool, ALogTruncatedWhileReadNeverEndsItBadly) {
    // Rotation by copying and truncating at several moments of a run over a
    // log large enough to be read in parts at once: the tool completes or
    // fails with a message, whatever it got.
    ProgramDir dir;
    std::string bytes;
    while (bytes.size() < (std::size_t{40} << 20)) bytes += kLine;
    const std::string materia = (dir.Path() / "materia").string();
    for (const int milliseconds : {0, 2, 5, 10, 20, 40}) {
        const std::string log = dir.WriteFile("rotated.log", bytes);
        std::thread rotation([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
            std::filesystem::resize_file(log, 0);
        });
        const Outcome o = RunReport("--dump --materia " + materia + " " + log);
        rotation.join();
        EXPECT_TRUE(o.status == 0 || o.status == 1) << milliseconds << " ms: " << o.status;
        EXPECT_EQ(o.out.substr(o.out.size() - 4), "end\n");
    }
}
