// Logs classified while they are still read or unpacked (compressed logs,
// several logs, standard input) show exactly what one plain log shows: after
// a complete run, after a failing line anywhere, after a missing list; a
// log found damaged after lines were classified leaves the window as any
// failed load does, and with no thread to spare for the reading the logs are
// read first; lines split as they arrive are the whole text's lines.  The
// insight read in the same pass is that of every line read in one part.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <sstream>
#include <utility>

#include "AnalysisTestSupport.h"
#include "CompressTool.h"
#include "ScopedSeams.h"
#include "analysis/LogCounting.h"
#include "insight/InsightRules.h"
#include "insight/InsightWhole.h"
#include "io/FileIo.h"
#include "io/LogFiles.h"
#include "parallel/WorkerPool.h"
#include "report/InsightJson.h"
#include "text/Cp932.h"
#include "Errors.h"
#include "text/TextLines.h"

using namespace pomurina;
using namespace pomurina::testing;
using V = std::vector<std::string>;

namespace {

// Log lines of many kinds: hosts and referrers seen again far apart, robots,
// watched hosts, POSTs, failures and lines in the common format.
V SampleLines(int count) {
    V lines;
    for (int i = 0; i < count; ++i) {
        const int k = i * 7919 % 97;
        const std::string host = k % 5 == 0 ? "watch.example.jp" : "192.0.2." + std::to_string(k);
        const std::string request = k % 7 == 0    ? "POST /form HTTP/1.1"
                                    : k % 11 == 0 ? "GET /robots.txt HTTP/1.0"
                                                  : "GET /p" + std::to_string(k % 13) + " HTTP/1.1";
        const std::string status = k % 6 == 0 ? "404" : k % 9 == 0 ? "403" : "200";
        const std::string referrer = k % 4 == 0 ? "http://else.example/" : "-";
        const std::string agent = k % 8 == 0 ? "Googlebot/2.1" : "Mozilla/5.0";
        std::string line = host + " - - [06/Dec/2026:" + std::to_string(10 + k % 10) +
                           ":00:00 +0900] \"" + request + "\" " + status + " " +
                           std::to_string(k * 13);
        // Now and then the common format, without referrer and agent.
        if (k % 31 != 0) line += " \"" + referrer + "\" \"" + agent + "\"";
        lines.push_back(line);
    }
    return lines;
}

std::string Joined(const V& lines, std::size_t from = 0, std::size_t to = std::string::npos) {
    std::string text;
    for (std::size_t i = from; i < std::min(to, lines.size()); ++i) text += lines[i] + "\n";
    return text;
}

// The dump without what names the logs: the file field, the progress lines
// that name a log and their count.
std::string Unnamed(const std::string& dump) {
    std::istringstream in(dump);
    std::string kept, line;
    const std::string reading = Utf8ToCp932("を読み込");
    const std::string logs[] = {Utf8ToCp932("監視対象ドメイン"), Utf8ToCp932("自ドメイン"),
                                Utf8ToCp932("ロボット情報")};
    while (std::getline(in, line)) {
        bool list = false;
        for (const std::string& name : logs) list = list || line.starts_with(name);
        if ((line.find(reading) != std::string::npos && !list) ||
            line.starts_with("field Edit35 ") || line.starts_with("progress "))
            continue;
        kept += line + "\n";
    }
    return kept;
}

// The insight as the JSON report writes it, or "null".
std::string InsightJson(const Insight* insight) {
    std::string text;
    ReportStream out([&](std::string_view block) {
        text += block;
        return 0;
    });
    WriteInsightJson(insight, out);
    out.Finish();
    return text;
}

class ArrivingRun : public ::testing::Test {
protected:
    ArrivingRun() {
        m_dir.WriteList("SERobotsList.dat", {"bot"});
        m_dir.WriteList("CheckDomeinList.dat", {"watch"});
        m_dir.WriteList("DomeinList.dat", {"own.example"});
        m_dir.WriteFile("materia/UserAgentRules.dat",
                        "browser\tFirefox\tMozilla\nbot\tGoogle\tGooglebot\nai\tGPT\tGPTBot\n");
        m_dir.WriteFile("materia/SearchEngines.dat", "Else\telse.example\tq\n");
    }
    // The insight of a run of the logs.
    std::string RunInsight(const V& paths, const ClassifyPlan& plan) {
        MemoryWindow window;
        const RunResult run =
            LogCounting(window, paths, RunPlaces{m_dir.Path().string(), "materia"}, plan);
        return InsightJson(run.insight.get());
    }
    // The insight of the lines read in one part, with the same rules.
    std::string OnePartInsight(const V& lines) {
        const auto rules = LoadInsightRules((m_dir.Path() / "materia").string(), {"own.example"});
        const std::string text = Joined(lines);
        const TextLines split(text);
        InsightPart part(*rules);
        for (std::size_t i = 0; i < split.Count(); ++i) part.Read(split.At(i));
        InsightWhole whole(*rules);
        whole.Merge(part);
        const Insight insight = whole.Finish();
        return InsightJson(&insight);
    }
    // Reads give a little at a time, slowly, as a slow disk or a pipe gives
    // them, while it lives: lines are classified while the rest arrives.
    class SlowReads : public ScopedFileIo {
    public:
        SlowReads() {
            Replace(&FileIo::read, [](int fd, void* buffer, size_t size) {
                ::usleep(100);
                return ::read(fd, buffer, std::min<size_t>(size, 1024));
            });
        }
    };

    // The dump after a run of the logs (in window, which keeps earlier runs).
    std::string Run(const V& paths, const ClassifyPlan& plan, MemoryWindow& window) {
        return DumpAfterRun(window, [&] {
            LogCounting(window, paths, RunPlaces{m_dir.Path().string(), "materia"}, plan);
        });
    }
    std::string Run(const V& paths, const ClassifyPlan& plan = {}) {
        MemoryWindow window;
        return Run(paths, plan, window);
    }
    // The log as one plain file, a gzip file, and three files: the first two
    // without their last line end, the second bzip2.
    std::vector<V> Forms(const V& lines, const std::string& name) {
        const std::string text = Joined(lines);
        const std::size_t third = lines.size() / 3;
        std::string first = Joined(lines, 0, third), second = Joined(lines, third, 2 * third);
        if (!first.empty()) first.pop_back();
        if (!second.empty()) second.pop_back();
        return {{m_dir.WriteFile(name + ".log", text)},
                {m_dir.WriteFile(name + ".gz", RunFilter("gzip -n", text))},
                {m_dir.WriteFile(name + ".1", first),
                 m_dir.WriteFile(name + ".2.bz2", RunFilter("bzip2", second)),
                 m_dir.WriteFile(name + ".3", Joined(lines, 2 * third))}};
    }

    ProgramDir m_dir;
};

// Plans that classify a few hundred bytes of arriving text at a time, in
// batches of every size, and one that waits for the whole text.
const ClassifyPlan kPlans[] = {{2, 3, 97}, {2, 64, 1000}, {1, 8192, std::size_t{1} << 30}};

TEST_F(ArrivingRun, CompressedAndSplitLogsShowWhatThePlainLogShows) {
    const V lines = SampleLines(600);
    for (const std::size_t bad :
         {std::size_t{600}, std::size_t{0}, std::size_t{301}, std::size_t{599}}) {
        V withBad = lines;
        if (bad < withBad.size())
            withBad[bad] = "192.0.2.9 - - [06/Dec/2026:?4:00:00 +0900] \"GET /bad HTTP/1.1\" 200 1";
        const std::vector<V> forms = Forms(withBad, "bad" + std::to_string(bad));
        const std::string reference = Unnamed(Run(forms[0], {1, 1000000}));
        EXPECT_EQ(reference.find("\nerror ") == std::string::npos, bad == lines.size());
        const SlowReads slow;
        for (const V& paths : forms)
            for (const ClassifyPlan& plan : kPlans)
                EXPECT_EQ(Unnamed(Run(paths, plan)), reference)
                    << paths.back() << " bad " << bad << " plan " << plan.batchLines << "/"
                    << plan.arrivingBytes;
    }
}

TEST_F(ArrivingRun, TheInsightOfEveryFormAndPlanIsThatOfOnePart) {
    V lines = SampleLines(600);
    // Visitors that come back to a page after half an hour and after less,
    // across the batches, and referrers with a search phrase.
    for (int i = 0; i < 40; ++i)
        lines.push_back("198.51.100." + std::to_string(i % 3) + " - - [06/Dec/2026:" +
                        std::to_string(10 + i / 8) + ":" + std::to_string(10 + i % 8 * 5) +
                        ":00 +0900] \"GET /p" + std::to_string(i % 4) +
                        " HTTP/1.1\" 200 5 \"http://else.example/?q=%E6%97%85\" \"Mozilla\"");
    const std::string reference = OnePartInsight(lines);
    ASSERT_NE(reference.find("\"visits\": "), std::string::npos);
    const SlowReads slow;
    for (const V& paths : Forms(lines, "log"))
        for (const ClassifyPlan& plan : {kPlans[0], kPlans[1], kPlans[2], ClassifyPlan{3, 7}})
            EXPECT_EQ(RunInsight(paths, plan), reference)
                << paths.back() << " plan " << plan.batchLines << "/" << plan.arrivingBytes;
}

TEST_F(ArrivingRun, ADamagedLogFoundLateLeavesTheWindowAsAFailedLoad) {
    // Large enough, and read a little at a time, for lines to be classified
    // before the damage is found.
    const V lines = SampleLines(30000);
    const std::string good = m_dir.WriteFile("good.log", Joined(lines, 0, 40));
    const std::string packed = RunFilter("gzip -n", Joined(lines));
    const std::string cut = m_dir.WriteFile("cut.gz", packed.substr(0, packed.size() - 9));
    const std::string missing = (m_dir.Path() / "missing.log").string();
    // The reference: a run that fails to open its log, after a complete one.
    MemoryWindow reference, damaged;
    Run({good}, {}, reference);
    Run({good}, {}, damaged);
    const std::string failedOpen = Run({missing}, {}, reference);
    const std::string failedLate = [&] {
        const SlowReads slow;
        return Run({good, cut}, {2, 64, 4096}, damaged);
    }();
    const auto withoutErrorAndProgress = [](const std::string& dump) {
        std::string kept = Unnamed(dump);
        return kept.substr(0, kept.find("\nerror "));
    };
    EXPECT_EQ(withoutErrorAndProgress(failedLate), withoutErrorAndProgress(failedOpen));
    EXPECT_NE(failedLate.find(
                  "\nerror " +
                  Utf8ToCp932("ファイル \"" + cut +
                              "\". gzip 形式のデータが途中で終わっているため展開できません.")),
              std::string::npos);
    // The bar is back where the complete run left it.
    EXPECT_NE(failedLate.find("\nprogressbar 40 40\n"), std::string::npos);
}

TEST_F(ArrivingRun, AMissingListStopsCompressedLogsAsItStopsAPlainOne) {
    std::filesystem::remove(m_dir.Path() / "materia" / "DomeinList.dat");
    const std::vector<V> forms = Forms(SampleLines(300), "log");
    const std::string reference = Unnamed(Run(forms[0]));
    EXPECT_NE(reference.find(Utf8ToCp932("DomeinList.dat\". 指定されたファイル")),
              std::string::npos);
    for (const V& paths : forms) EXPECT_EQ(Unnamed(Run(paths, kPlans[0])), reference);
}

TEST_F(ArrivingRun, WithoutRoomSetAsideTheLogsAreReadWholeThenClassified) {
    const std::vector<V> forms = Forms(SampleLines(300), "log");
    const std::string reference = Unnamed(Run(forms[0]));
    {
        // No system sets so much aside: the text grows as it is read.
        const ScopedRunMemory plenty(std::size_t{1} << 62);
        EXPECT_EQ(Unnamed(Run(forms[1], kPlans[0])), reference);
        EXPECT_EQ(Unnamed(Run(forms[2], kPlans[0])), reference);
    }
}

TEST_F(ArrivingRun, WithNoThreadToSpareTheLogsAreReadWholeThenClassified) {
    const std::vector<V> forms = Forms(SampleLines(300), "log");
    const std::string reference = Unnamed(Run(forms[0]));
    WorkerPool refusing({4, true});
    const PoolOverride use(refusing);
    for (const V& paths : forms) EXPECT_EQ(Unnamed(Run(paths, kPlans[0])), reference);
}

TEST(ArrivingLines, SplitAtAnyMomentAreTheWholeTextsLines) {
    const std::string text = "a\r\nb\rc\n\rd\n\ne\r\r\nlast";
    const auto linesOf = [](const TextLines& lines) {
        V all;
        for (std::size_t i = 0; i < lines.Count(); ++i) all.emplace_back(lines.At(i));
        return all;
    };
    const V whole = linesOf(TextLines(std::string_view(text)));
    // Taken as they arrive, or a few at a time (as a step takes them).
    for (const std::size_t most : {~std::size_t{0}, std::size_t{1}, std::size_t{2}}) {
        for (std::size_t first = 0; first <= text.size(); ++first) {
            for (std::size_t second = first; second <= text.size(); ++second) {
                auto bytes = std::make_shared<ByteBuffer>(text.size());
                std::memcpy(bytes->data(), text.data(), text.size());
                const auto arriving = TextLines::Arriving(bytes);
                for (const auto& [length, ended] :
                     {std::pair{first, false}, std::pair{second, false},
                      std::pair{text.size(), true}})
                    while (arriving->Extend(length, ended, nullptr, most)) {
                    }
                EXPECT_EQ(linesOf(*arriving), whole) << first << " " << second << " " << most;
            }
        }
    }
}

}  // namespace
