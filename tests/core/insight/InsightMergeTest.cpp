// The insight of a run is the same however its lines are cut into batches
// and on however many threads; visits follow their visitor's pages in log
// order, across batches.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "InsightDriver.h"
#include "TempDir.h"
#include "report/InsightTables.h"

using namespace pomurina;
using namespace pomurina::testing;

namespace {

const InsightRules& Rules() {
    static const InsightRules rules = RulesOf("browser\tFox\tFirefox\nbot\tBot\tbot\nai\tAI\tGPT\n",
                                              "G\tgoogle.com\tq\n", {"own.example"});
    return rules;
}

std::string Line(const std::string& host, const std::string& clock, const std::string& path,
                 int status = 200, const std::string& agent = "Firefox", const char* day = "06") {
    return host + " - - [" + day + "/Dec/2026:" + clock + " +0900] \"GET " + path + " HTTP/1.1\" " +
           std::to_string(status) + " 10 \"-\" \"" + agent + "\"\n";
}

std::string Generated(int lines, unsigned seed) {
    std::string text;
    const std::string command = std::string(POMURINA_GENLOG) + " --variety --lines " +
                                std::to_string(lines) + " --seed " + std::to_string(seed);
    FILE* pipe = ::popen(command.c_str(), "r");
    char buffer[1 << 16];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        text.append(buffer, n);
    EXPECT_EQ(::pclose(pipe), 0);
    return text;
}

}  // namespace

TEST(InsightMerge, EveryCutGivesTheInsightOfOneBatch) {
    std::vector<std::string> texts = {Generated(30000, 7)};
    const std::filesystem::path real = POMURINA_REALLOGS;
    for (const char* name : {"semicomplete_2015-05_combined_elastic-examples.log",
                             "honeynet-rh71_2004-06-27_to_10-11_combined.log"})
        if (std::filesystem::exists(real / name)) texts.push_back(ReadFileBytes(real / name));
    for (const std::string& text : texts) {
        const TextLines lines(text);
        const Insight whole = ReadInsight(lines, Rules(), 0);
        const std::string expected = InsightJsonOf(&whole);
        EXPECT_GT(whole.totals.visits, 100);
        for (const std::size_t batch : {1u, 7u, 8192u}) {
            for (const unsigned threads : {1u, 2u}) {
                const Insight cut = ReadInsight(lines, Rules(), batch, threads);
                EXPECT_EQ(InsightJsonOf(&cut), expected) << batch << " lines a batch";
            }
        }
    }
}

TEST(InsightMerge, VisitsEndAfterHalfAnHourWithoutAPage) {
    const std::string log =
        Line("h", "00:00:00", "/a") + Line("h", "00:29:59", "/b") +  // 1799 s: the same visit
        Line("h", "00:59:58", "/c") +                                // 1799 s after the latest
        Line("h", "01:29:58", "/d") +                                // 1800 s: a new visit
        Line("h", "01:23:20", "/e") +                                // back in time: the same
        Line("h", "01:30:00", "/x.png") + Line("h", "01:30:00", "/gone", 404) +  // no pages
        Line("h", "01:00:00", "/r", 200, "GPTBot") +                             // a robot's
        Line("h", "01:00:00", "/f", 200, "Other") +         // another agent's visit
        Line("h", "00:00:00", "/g", 200, "Firefox", "07");  // the next day's
    for (const std::size_t batch : {0u, 1u, 2u, 3u}) {
        const Insight insight = ReadInsight(TextLines(log), Rules(), batch);
        EXPECT_EQ(insight.totals.visits, 4);
        ASSERT_EQ(insight.days.size(), 2u);
        EXPECT_EQ(insight.days[0].visits, 3);
        EXPECT_EQ(insight.days[1].visits, 1);
        std::map<std::string, std::pair<std::int64_t, std::int64_t>> ends;  // entries, exits
        for (const PageRow& page : insight.pages) ends[page.path] = {page.entries, page.exits};
        using P = std::pair<std::int64_t, std::int64_t>;
        EXPECT_EQ(ends["/a"], P(1, 0));
        EXPECT_EQ(ends["/c"], P(0, 1));
        EXPECT_EQ(ends["/d"], P(1, 0));
        EXPECT_EQ(ends["/e"], P(0, 1));  // the last in log order
        EXPECT_EQ(ends["/f"], P(1, 1));
        EXPECT_EQ(ends["/r"], P(0, 0));
        // 3598 s, 398 s (from 01:23:20 to 01:29:58), 0 s and 0 s.
        EXPECT_EQ(insight.visitDurations, (VisitDurations{2, 0, 0, 1, 0, 1, 0}));
    }
}

TEST(InsightMerge, APageDatedYearsBackLengthensItsVisit) {
    const std::string log =
        Line("h", "00:00:00", "/a") +
        "h - - [01/Jan/0001:00:00:00 +0900] \"GET /b HTTP/1.1\" 200 1 \"-\" \"Firefox\"\n" +
        Line("h", "00:10:00", "/c");
    const Insight insight = ReadInsight(TextLines(log), Rules(), 1);
    EXPECT_EQ(insight.totals.visits, 1);
    EXPECT_EQ(insight.visitDurations, (VisitDurations{0, 0, 0, 0, 0, 0, 1}));
}

TEST(InsightMerge, TheLastSeenTimeIsTheFirstOfTheGreatest) {
    const std::string log = Line("h", "12:34:60", "/a") + Line("h", "12:35:00", "/b") +
                            Line("h", "12:00:00", "/c") + "not a line\n" +
                            Line("h", "12:35:00", "/d", 200, "x", "05");
    for (const std::size_t batch : {0u, 1u, 2u}) {
        const Insight insight = ReadInsight(TextLines(log), Rules(), batch);
        ASSERT_EQ(insight.hosts.size(), 1u);
        EXPECT_EQ(SeenTimeText(insight.hosts[0].lastSeen), "2026-12-06 12:34:60");
        EXPECT_EQ(insight.totals.unparsed, 1);
    }
}
