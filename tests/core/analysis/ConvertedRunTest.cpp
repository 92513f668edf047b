// A run on logs of two formats: the formats, and the converted log's lines
// as its file has them, kept only when the window asks, shown in the
// raw-log pane's order and found from the lines the run read.
#include <gtest/gtest.h>

#include "AnalysisTestSupport.h"
#include "analysis/LogCounting.h"
#include "insight/InsightRow.h"
#include "window/FileLines.h"

using namespace pomurina;
using namespace pomurina::testing;

namespace {

TEST(ConvertedRun, KeepsTheConvertedLogAsItsFileHasItWhenAsked) {
    ProgramDir dir(ProgramDir::Materia::Defaults);
    const std::string w3c =
        "#Version: 1.0\r\n#Fields: date time c-ip cs-method cs-uri-stem sc-status sc-bytes "
        "cs-host\r\n2026-12-08 01:00:00 203.0.113.5 GET /a 200 5 a.example.jp\r\n"
        "#Fields: date time c-ip cs-method cs-uri-stem sc-status\r\n"
        "2026-12-08 01:00:01 203.0.113.6 POST /b 302\r\n";
    const std::string combined =
        "198.51.100.1 - - [08/Dec/2026:10:00:02 +0900] \"GET / HTTP/1.1\" 200 9\n";
    const std::vector<std::string> paths = {dir.WriteFile("access.log.1", w3c),
                                            dir.WriteFile("access.log", combined)};
    for (const bool keep : {false, true}) {
        ClassifyPlan plan;
        plan.keepOriginals = keep;
        MemoryWindow window;
        const RunResult run =
            LogCounting(window, paths, RunPlaces{dir.Path().string(), "materia"}, plan);
        EXPECT_EQ(run.formats, (std::vector<LogFormat>{LogFormat::W3c, LogFormat::Combined}));
        ASSERT_EQ(run.logLines->Count(), 3u);
        EXPECT_EQ(run.summary.connections.total, 3);
        if (!keep) {
            EXPECT_TRUE(run.originals.empty());
            continue;
        }
        ASSERT_EQ(run.originals.size(), 2u);
        ASSERT_TRUE(run.originals[0]);
        EXPECT_FALSE(run.originals[1]);
        EXPECT_EQ(run.originals[0]->bytes, w3c);
        EXPECT_EQ(run.originals[0]->runBytesBefore, 0u);
        EXPECT_EQ(run.originals[0]->lineOf, (std::vector<std::uint64_t>{2, 4}));

        // The raw-log pane's lines: the W3C file's, then the combined log's.
        const FileLines shown(run.wholeLog, run.originals);
        std::string scratch;
        ASSERT_EQ(shown.Count(), 6u);
        EXPECT_EQ(shown.Line(0, scratch), "#Version: 1.0");
        EXPECT_EQ(shown.Line(4, scratch), "2026-12-08 01:00:01 203.0.113.6 POST /b 302");
        EXPECT_EQ(shown.Line(5, scratch), combined.substr(0, combined.size() - 1));
        EXPECT_EQ(shown.Length(2), 57u);
        for (const auto& [runLine, line] : {std::pair{0, 2}, {1, 4}, {2, 5}})
            EXPECT_EQ(shown.ShownLine(static_cast<std::size_t>(runLine)),
                      static_cast<std::size_t>(line));
        // The virtual host's row names its line.
        ASSERT_TRUE(run.insight && run.insightRules);
        const auto row = InsightRowOf(*run.insight, "vhosts", 0);
        ASSERT_TRUE(row);
        EXPECT_EQ(row->text, "a.example.jp");
        RowLineTest test(*run.insightRules, *row);
        for (std::size_t i = 0; i < run.logLines->Count(); ++i)
            EXPECT_EQ(test.Holds(run.logLines->Line(i, scratch)), i == 0) << i;
        // Without converted logs, the run's lines as they are.
        const FileLines plain(run.wholeLog, {});
        ASSERT_EQ(plain.Count(), 3u);
        EXPECT_EQ(plain.ShownLine(2), 2u);
        EXPECT_EQ(plain.Line(2, scratch), shown.Line(5, scratch));
    }
    // A run of combined logs alone keeps nothing, whatever it is asked.
    ClassifyPlan plan;
    plan.keepOriginals = true;
    MemoryWindow window;
    const RunResult run =
        LogCounting(window, paths[1], RunPlaces{dir.Path().string(), "materia"}, plan);
    EXPECT_TRUE(run.originals.empty());
    EXPECT_EQ(run.formats, std::vector<LogFormat>{LogFormat::Combined});
}

}  // namespace
