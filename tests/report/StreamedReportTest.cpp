// The report tool reading its logs in blocks, against the same tool holding
// them whole (POMURINA_BLOCK_BYTES=0): every output byte for byte, with
// blocks small enough that lines cross their edges everywhere, on real logs,
// a generated one, compressed ones, several logs, standard input and logs
// that fail at a line.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "AnalysisTestSupport.h"
#include "CompressTool.h"
#include "ProgramDir.h"
#include "ReportToolRun.h"
#include "TempDir.h"

using namespace pomurina;
using namespace pomurina::testing;
namespace fs = std::filesystem;

namespace {

// What a run gives: standard output, the report files it writes (the HTML
// without its time of writing, the CSV files), standard error and its status.
std::string Outputs(const ProgramDir& dir, const std::string& mode, const std::string& logs,
                    const std::string& blockBytes, const std::string& input = "") {
    const fs::path out = dir.Path() / "out";
    fs::remove_all(out);
    fs::create_directory(out);
    const fs::path err = dir.Path() / "err";
    const std::string materia = "--materia " + Quote((dir.Path() / "materia").string()) + " ";
    std::string arguments = materia + logs;
    if (mode == "html") arguments = "--html " + Quote((out / "r.html").string()) + " " + arguments;
    if (mode == "csv") arguments = "--csv " + Quote(out.string()) + " " + arguments;
    const ReportOutcome o =
        RunReport(arguments, err.string(), input + "POMURINA_BLOCK_BYTES=" + blockBytes + " ");
    std::string all = o.out;
    if (const auto at = all.find("\"created\": "); at != std::string::npos)
        all.erase(at, all.find('\n', at) - at);
    for (const auto& file : fs::directory_iterator(out)) {
        std::string text = ReadFileBytes(file.path());
        if (const auto at = text.find("<dt>作成日時</dt>"); at != std::string::npos)
            text.erase(at, text.find('\n', at) - at);
        all += "\n== " + file.path().filename().string() + "\n" + text;
    }
    return all + "\n== stderr\n" + ReadFileBytes(err) + "\nstatus " + std::to_string(o.status);
}

// Every output of logs, streamed in blocks of each size, equals the whole run's.
// (The JSON holds the logs whole, as the dump does.)  Under the sanitizers,
// whose runs are several times slower, the CSV files (written from the same
// run as the HTML) are left to the normal build.
#if defined(__SANITIZE_ADDRESS__)
const std::vector<std::string> kEveryMode = {"summary", "html"};
constexpr const char* kGeneratedLines = "6000";
#else
const std::vector<std::string> kEveryMode = {"summary", "html", "csv"};
constexpr const char* kGeneratedLines = "20000";
#endif

void ExpectStreamedAsWhole(const ProgramDir& dir, const std::string& logs,
                           const std::vector<std::string>& blockSizes,
                           const std::string& input = "",
                           const std::vector<std::string>& modes = kEveryMode) {
    for (const std::string& mode : modes) {
        const std::string whole = Outputs(dir, mode, logs, "0", input);
        for (const std::string& size : blockSizes)
            EXPECT_EQ(Outputs(dir, mode, logs, size, input), whole)
                << mode << " in blocks of " << size << ": " << logs;
    }
}

const std::string kLine =
    "192.0.2.7 - - [06/Dec/2026:09:15:02 +0900] \"GET /a HTTP/1.1\" 200 1536 "
    "\"http://example.com/\" \"Googlebot\"";

TEST(StreamedReport, LineEndsAndZeroBytesAcrossBlockEdges) {
    ProgramDir dir(ProgramDir::Materia::Defaults);
    const std::string post =
        "198.51.100.2 - - [06/Dec/2026:10:00:00 +0900] \"POST /f HTTP/1.1\" 404 9 \"-\" \"x\"";
    const std::string cases[] = {
        kLine + "\r\n" + post + "\r\n" + kLine,         // CR LF, a last line without its end
        kLine + "\r" + post + "\n\r" + kLine + "\n\n",  // CR alone, LF CR as two, an empty line
        kLine + "\r",                                   // one line ended by CR alone
        std::string(kLine).insert(20, 3, '\0') + "\n" + post + std::string(2, '\0') + "\n",
        std::string(9000, 'x') + "\n" + kLine + "\n" + std::string(5000, 'y'),  // long lines
        "\n\r\n\r",
    };
    int k = 0;
    for (const std::string& text : cases) {
        const std::string log = dir.WriteFile("case" + std::to_string(k++), text);
        ExpectStreamedAsWhole(dir, Quote(log), {"1", "2", "7", "4096"}, "", {"summary", "html"});
    }
    // Two logs, the first without its last line end, the second beginning with LF.
    const std::string first = dir.WriteFile("first", kLine + "\r");
    const std::string second = dir.WriteFile("second", "\n" + post + "\n");
    const std::string third = dir.WriteFile("third", kLine);
    ExpectStreamedAsWhole(dir, Quote(first) + " " + Quote(second) + " " + Quote(third),
                          {"1", "5", "4096"});
}

TEST(StreamedReport, RealAndGeneratedLogsInSmallBlocks) {
    ProgramDir dir(ProgramDir::Materia::Defaults);
    dir.WriteList("CheckDomeinList.dat", {"docomo", "153.180"});
    dir.WriteList("DomeinList.dat", {"tag-school.co.jp", "semicomplete.com"});
    std::vector<std::string> logs;
    if (fs::is_directory(POMURINA_REALLOGS))
        for (const auto& entry : fs::directory_iterator(POMURINA_REALLOGS))
            if (entry.path().extension() == ".log") logs.push_back(entry.path().string());
    const std::string generated = (dir.Path() / "generated.log").string();
    ASSERT_EQ(std::system((std::string(POMURINA_GENLOG) + " --variety --lines " + kGeneratedLines +
                           " --seed 28 > " + Quote(generated))
                              .c_str()),
              0);
    logs.push_back(generated);
#if defined(__SANITIZE_ADDRESS__)
    // Several times slower under the sanitizers: blocks still far shorter
    // than a line, so that every line crosses a block's edge.
    const char* const blockBytes = "64";
#else
    const char* const blockBytes = "7";
#endif
    for (const std::string& log : logs) ExpectStreamedAsWhole(dir, Quote(log), {blockBytes});
}

TEST(StreamedReport, FiltersChooseAmongEachBlocksLines) {
    ProgramDir dir(ProgramDir::Materia::Defaults);
    const std::string log =
        std::string(POMURINA_REALLOGS) + "/tag-school-co-jp_2020-03-05_to_03-24_combined.log";
    if (!fs::exists(log)) GTEST_SKIP() << "no real logs";
    const std::string hosts = dir.WriteFile("hosts", "66.249.0.0/16\n");
    for (const std::string& filter :
         std::vector<std::string>{"--from 2020-03-10 --to 2020-03-12 --humans",
                                  "--status 4xx,5xx --exclude-hosts " + hosts,
                                  "--path /blog/ --status 2xx", "--from 2030-01-01"})
        ExpectStreamedAsWhole(dir, filter + " " + Quote(log), {"64", "4096"}, "",
                              {"summary", "html"});
}

TEST(StreamedReport, CompressedSeveralAndStandardInput) {
    ProgramDir dir(ProgramDir::Materia::Defaults);
    std::string text;
    for (int i = 0; i < 300; ++i)
        text += kLine.substr(0, 40) + std::to_string(i % 24) + kLine.substr(42) + "\n";
    for (const CompressTool& tool : CompressTools()) {
        const std::string packed =
            dir.WriteFile("log" + tool.extension, RunFilter(tool.command, text));
        ExpectStreamedAsWhole(dir, Quote(packed), {"7", "4096"});
        ExpectStreamedAsWhole(dir, "- " + Quote(packed), {"7"}, "cat " + Quote(packed) + " |");
    }
    const std::string plain = dir.WriteFile("plain", text);
    ExpectStreamedAsWhole(dir, "-", {"3", "4096"}, "cat " + Quote(plain) + " |");
}

TEST(StreamedReport, FailingLineFailsTheRunAsWhenHeldWhole) {
    ProgramDir dir(ProgramDir::Materia::Defaults);
    std::string good;
    for (int i = 0; i < 200; ++i) good += kLine + "\n";
    const std::string bad = std::string(kLine).replace(kLine.find("1536"), 4, "12ab") + "\n";
    const std::string early = dir.WriteFile("early", bad + good);
    const std::string late = dir.WriteFile("late", good + bad + good);
    const std::string packed = dir.WriteFile("late.gz", RunFilter("gzip -n", good + bad + good));
    // A stream that breaks off after blocks were classified.
    std::string whole;
    for (int i = 0; i < 3000; ++i)
        whole += std::string(kLine).replace(0, 1, std::to_string(i)) + "\n";
    const std::string compressed = RunFilter("gzip -n", whole);
    const std::string cut = dir.WriteFile("cut.gz", compressed.substr(0, compressed.size() / 2));
    for (const std::string& log : {early, late, packed, cut})
        ExpectStreamedAsWhole(dir, Quote(log), {"7", "4096"});
    // The failing line in the second of two logs, and a missing log.
    ExpectStreamedAsWhole(dir, Quote(early) + " " + Quote(late), {"100"});
    ExpectStreamedAsWhole(dir, Quote(late) + " " + Quote((dir.Path() / "none").string()), {"7"});
}

}  // namespace
