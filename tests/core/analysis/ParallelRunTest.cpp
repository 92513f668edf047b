// Classifying in batches on several threads and merging the parts gives
// exactly what classifying every line in turn gives: collections, counters,
// hours, the volume to the last bit, failures and what the window shows.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>

#include "AnalysisTestSupport.h"
#include "analysis/LogCounting.h"
#include "analysis/ParallelClassification.h"
#include "Errors.h"
#include "text/TextLines.h"

using namespace pomurina;
using namespace pomurina::testing;

namespace {

const ReferenceLists& Lists() {
    static const ReferenceLists lists =
        MakeLists({"own.example"}, {"watch", "WATCH", "ocn"}, {"bot", "Crawler"});
    return lists;
}

// Lines of every kind, hosts and files repeated in other letter cases far
// apart so that a later batch meets a text an earlier one holds.
std::vector<std::string> MixedLines(int count, unsigned seed) {
    std::mt19937 random(seed);
    const char* hosts[] = {"pc-01", "PC-01",      "192.0.2.1", "watch.ocn.ne.jp",
                           "",      "a.WATCH.jp", "h" /* more below */};
    const char* requests[] = {
        "GET /index.html HTTP/1.1",   "GET /Index.HTML HTTP/1.1",  "POST /form HTTP/1.0",
        "POSTX /a HTTP/1.0",          "HEAD / HTTP/1.0",           "GET /robots.txt HTTP/1.1",
        "GET /ROBOTS.TXT HTTP/1.1",   "GET /favicon.ico HTTP/1.1", "GET /",
        "GET /q?x=%E6%97%85 HTTP/1.1"};
    const char* statuses[] = {"200", "200", "200", "304", "403", "404", "500"};
    const char* referrers[] = {"-", "http://own.example/", "http://else.example/x", ""};
    const char* agents[] = {"Mozilla/4.0 (compatible; MSIE 6.0)", "Googlebot", "-", "Crawler/1.0",
                            "Mozilla/5.0"};
    std::vector<std::string> lines;
    for (int i = 0; i < count; ++i) {
        std::string host = hosts[random() % 7];
        if (host == "h") host += std::to_string(random() % 40);
        const std::string status = statuses[random() % 7];
        const std::string size = random() % 9 == 0 ? "-" : std::to_string(random() % 100000);
        std::string line = host + " - - [06/Dec/2026:" + (random() % 2 ? "0" : "1") +
                           std::to_string(random() % 10) + ":00:00 +0900] \"" +
                           requests[random() % 10] + "\" " + status + " " + size + " \"" +
                           referrers[random() % 4] + "\" \"" + agents[random() % 5] + "\"";
        if (random() % 25 == 0) line = line.substr(0, line.find(" \""));  // the common format
        lines.push_back(line);
    }
    return lines;
}

std::string Joined(const std::vector<std::string>& lines, const char* end = "\n") {
    std::string text;
    for (const auto& line : lines) text += line + end;
    return text;
}

struct Outcome {
    std::unique_ptr<CountingResult> result;
    std::string error;                  // empty when every line counted
    std::vector<std::int64_t> batches;  // the line count after every merge
};

Outcome Sequential(const std::shared_ptr<const TextLines>& lines) {
    Outcome out{std::make_unique<CountingResult>(lines), "", {}};
    for (std::size_t i = 0; i < lines->Count(); ++i) {
        try {
            ClassifyLine(lines->At(i), Lists(), *out.result);
        } catch (const Error& e) {
            out.error = e.Message();
            break;
        }
        ++out.result->LineCount;
    }
    return out;
}

Outcome Parallel(const std::shared_ptr<const TextLines>& lines, const ClassifyPlan& plan) {
    Outcome out{std::make_unique<CountingResult>(lines), "", {}};
    try {
        ClassifyLines(Lists(), *out.result, plan,
                      [&] { out.batches.push_back(out.result->LineCount); });
    } catch (const Error& e) {
        out.error = e.Message();
    }
    return out;
}

void ExpectSame(const Outcome& a, const Outcome& b) {
    const CountingResult& x = *a.result;
    const CountingResult& y = *b.result;
    EXPECT_EQ(a.error, b.error);
    EXPECT_EQ(x.LineCount, y.LineCount);
    EXPECT_EQ(x.HostExtract->Count(), y.HostExtract->Count());
    EXPECT_EQ(LinesOf(*x.HostExtract), LinesOf(*y.HostExtract));
    // The longest entries, kept as they were added, are those a scan finds.
    for (const std::size_t count : std::initializer_list<std::size_t>{1, 8, 16})
        EXPECT_EQ(y.HostExtract->LongestLines(count),
                  y.HostExtract->LineSource::LongestLines(count));
    for (auto list :
         {&CountingResult::HostNames, &CountingResult::GetFiles, &CountingResult::PostFiles})
        EXPECT_EQ(LinesOf(*(x.*list).Entries()), LinesOf(*(y.*list).Entries()));
    for (const auto list : CountingResult::kEntryLists)
        EXPECT_EQ(LinesOf(*(x.*list)), LinesOf(*(y.*list)));
    for (auto counter :
         {&CountingResult::HostCount, &CountingResult::GetCount, &CountingResult::GetFileCount,
          &CountingResult::Get200Count, &CountingResult::PostCount, &CountingResult::PostFileCount,
          &CountingResult::Post200Count, &CountingResult::Host200Count,
          &CountingResult::FaviconCount, &CountingResult::FaviconMsieCount})
        EXPECT_EQ(x.*counter, y.*counter);
    EXPECT_EQ(x.AllHours, y.AllHours);
    EXPECT_EQ(x.GetHours, y.GetHours);
    EXPECT_EQ(x.PostHours, y.PostHours);
    EXPECT_EQ(x.TransferTotal, y.TransferTotal);  // to the last bit
}

// Every way of cutting and sharing the lines against the line-by-line run.
void ExpectEveryPlanMatches(const std::string& text) {
    const auto lines = std::make_shared<const TextLines>(text);
    const Outcome reference = Sequential(lines);
    for (const std::size_t batch : std::initializer_list<std::size_t>{1, 2, 3, 64, 100000})
        for (const unsigned threads : {1u, 2u, 3u}) {
            SCOPED_TRACE("batch " + std::to_string(batch) + ", threads " + std::to_string(threads));
            const Outcome parallel = Parallel(lines, {threads, batch});
            ExpectSame(reference, parallel);
            // The bar moves once a batch, up to the lines counted.
            if (reference.result->LineCount > 0) {
                ASSERT_FALSE(parallel.batches.empty());
                EXPECT_EQ(parallel.batches.back(), reference.result->LineCount);
                EXPECT_LE(parallel.batches.front(), static_cast<std::int64_t>(batch));
            }
        }
}

}  // namespace

TEST(ParallelRun, EqualsTheLineByLineRun) {
    ExpectEveryPlanMatches(Joined(MixedLines(300, 1)));
    ExpectEveryPlanMatches("");
    ExpectEveryPlanMatches(Joined(MixedLines(1, 2)));
}

TEST(ParallelRun, EveryKindOfLineEndSplitsAlike) {
    const auto lines = MixedLines(100, 3);
    ExpectEveryPlanMatches(Joined(lines, "\r\n"));
    ExpectEveryPlanMatches(Joined(lines, "\r"));
    ExpectEveryPlanMatches(Joined(lines, "\n\r"));  // two line ends each: empty lines fail
    std::string mixed;
    for (std::size_t i = 0; i < lines.size(); ++i)
        mixed += lines[i] + (i % 3 == 0 ? "\r\n" : i % 3 == 1 ? "\r" : "\n");
    ExpectEveryPlanMatches(mixed.substr(0, mixed.size() - 1));  // no end after the last line
}

TEST(ParallelRun, TheFirstFailingLineDecidesWhereverItFalls) {
    // Around the edges of batches of 1, 2, 3 and 64 lines, and both failures.
    const std::string badSize =
        "x.example - - [06/Dec/2026:10:00:00 +0900] \"GET /z HTTP/1.0\" 200 1x \"-\" \"bot\"";
    for (const std::size_t at : std::initializer_list<std::size_t>{0, 1, 2, 62, 63, 64, 65, 127, 128, 199}) {
        SCOPED_TRACE(at);
        auto lines = MixedLines(200, static_cast<unsigned>(at));
        lines[at] = "no time stamp here";
        ExpectEveryPlanMatches(Joined(lines));
        lines[at] = badSize;
        ExpectEveryPlanMatches(Joined(lines));
        if (at + 5 < lines.size()) lines[at + 5] = "a later failure";
        ExpectEveryPlanMatches(Joined(lines));
    }
}

TEST(ParallelRun, TheVolumeIsAddedInLogOrderPast2To53) {
    // Sums this large depend on the order of their terms: added part by part
    // they would round differently.
    std::mt19937_64 random(7);
    std::vector<std::string> lines;
    double inOrder = 0, partSums = 0, part = 0;
    for (int i = 0; i < 600; ++i) {
        const long long size = i % 3 == 0   ? static_cast<long long>(random() >> 2)
                               : i % 3 == 1 ? static_cast<long long>(random() % 1000) + 1
                                            : -static_cast<long long>(random() >> 4);
        lines.push_back("h - - [06/Dec/2026:10:00:00 +0900] \"GET / HTTP/1.0\" 200 " +
                        std::to_string(size) + " \"-\" \"-\"");
        inOrder += static_cast<double>(size);
        part += static_cast<double>(size);
        if (i % 64 == 63) {
            partSums += part;
            part = 0;
        }
    }
    partSums += part;
    ASSERT_NE(inOrder, partSums);  // the case has teeth
    ExpectEveryPlanMatches(Joined(lines));
    EXPECT_EQ(
        Parallel(std::make_shared<const TextLines>(Joined(lines)), {2, 64}).result->TransferTotal,
        inOrder);
}

namespace {

std::string RunDump(const std::string& path, const std::string& programDir,
                    const ClassifyPlan& plan) {
    MemoryWindow window;
    return DumpAfterRun(window, [&] {
        LogCounting(window, path, RunPlaces{programDir, "materia"}, plan);
    });
}

}  // namespace

TEST(ParallelRun, TheWindowShowsTheSameWhateverTheBatches) {
    // Live panes, progress bar and every other pane, after complete and failed runs.
    ProgramDir dir;
    dir.WriteList("SERobotsList.dat", {"bot"});
    dir.WriteList("CheckDomeinList.dat", {"watch"});
    auto lines = MixedLines(150, 9);
    const std::string complete = dir.WriteFile("complete.log", Joined(lines));
    lines[70] = "bad";
    const std::string failed = dir.WriteFile("failed.log", Joined(lines));
    for (const std::string& path : {complete, failed}) {
        const std::string reference = RunDump(path, dir.Path().string(), {1, 1000000});
        EXPECT_EQ(RunDump(path, dir.Path().string(), {3, 4}), reference);
        EXPECT_EQ(RunDump(path, dir.Path().string(), {2, 1}), reference);
    }
    EXPECT_NE(RunDump(failed, dir.Path().string(), {2, 8}).find("progressbar 70 150\n"),
              std::string::npos);
}
