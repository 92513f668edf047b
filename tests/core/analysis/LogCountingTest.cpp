// Whole analysis runs on a window in memory: progress, panes, fields, graphs and failures.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <filesystem>
#include <optional>

#include "AnalysisTestSupport.h"
#include "CompressTool.h"
#include "Errors.h"
#include "ScopedSeams.h"
#include "analysis/LogCounting.h"
#include "io/FileIo.h"
#include "text/Cp932.h"
#include "window/MemoPanes.h"
#include "window/TransferUnits.h"

using namespace pomurina;
using namespace pomurina::testing;
using V = std::vector<std::string>;
using F = FieldId;

namespace {

std::string S(const char* utf8) {
    return Utf8ToCp932(utf8);
}

const std::string kDashes(45, '-');

std::string Line(const std::string& host, const std::string& request, const std::string& status,
                 const std::string& size = "100", const std::string& hour = "10") {
    return host + " - - [06/Dec/2026:" + hour + ":00:00 +0900] \"" + request + "\" " + status +
           " " + size + " \"http://ref.example/\" \"agent\"\n";
}

class Run : public ::testing::Test {
protected:
    // Runs the analysis and returns the error box's text, or "" when it completed.
    std::string Analyse(const std::string& log) {
        const std::string path = m_dir.WriteFile("access.log", log);
        return AnalysePath(path);
    }
    std::string AnalysePath(const std::string& path) {
        m_run.reset();
        try {
            m_run = LogCounting(m_window, path, RunPlaces{m_dir.Path().string(), "materia"});
        } catch (const Error& e) {
            return WithFullStop(e.Message());
        }
        return "";
    }
    std::string Many(const V& paths) {
        try {
            LogCounting(m_window, paths, RunPlaces{m_dir.Path().string(), "materia"});
        } catch (const Error& e) {
            return WithFullStop(e.Message());
        }
        return "";
    }
    std::string Field(FieldId field) { return m_window.GetField(field).Text(); }
    V Pane(PaneId id) { return LinesOf(m_window.GetPane(id)); }

    ProgramDir m_dir;
    MemoryWindow m_window;
    std::optional<RunResult> m_run;  // of the last Analyse, when it completed
};

V ProgressLines(const std::string& path) {
    return {S("初期化しています..."),
            path + S("を読み込んでいます..."),
            path + S("を読み込みました..."),
            S("監視対象ドメインを読み込んでいます..."),
            S("監視対象ドメインを読み込みました..."),
            S("自ドメインを読み込んでいます..."),
            S("自ドメインを読み込みました..."),
            S("ロボット情報を読み込んでいます..."),
            S("ロボット情報を読み込みました..."),
            S("データを集計しています..."),
            S("集計が終了しました..."),
            S("結果を出力しています..."),
            S("グラフを描画しています...")};
}

}  // namespace

TEST_F(Run, ThreeLinesFillEveryPaneFieldAndGraph) {
    m_dir.WriteList("SERobotsList.dat", {"a", "b"});
    ASSERT_EQ(Analyse(Line("h1", "GET /x HTTP/1.0", "200", "1536") +
                      Line("h2", "GET /y HTTP/1.0", "404") + Line("h1", "POST /p HTTP/1.0", "403")),
              "");
    const std::string path = (m_dir.Path() / "access.log").string();
    EXPECT_EQ(m_window.Progress().MessageLines(), ProgressLines(path));
    EXPECT_EQ(m_window.Progress().Position(), 3);
    EXPECT_EQ(m_window.Progress().Maximum(), 3);
    EXPECT_FALSE(m_window.Progress().IsShown());
    EXPECT_EQ(Field(F::LogName), path);
    for (FieldId f : {F::SummaryConnections, F::ConnectionsTabConnections})
        EXPECT_EQ(Field(f), "3");
    for (FieldId f : {F::SummaryHosts, F::ConnectionsTabHosts}) EXPECT_EQ(Field(f), "2");
    for (FieldId f : {F::SummaryGetRequests, F::GetTabRequests, F::GetTabFiles, F::SummaryGetFiles})
        EXPECT_EQ(Field(f), "2") << FieldName(f);  // 2 GETs for 2 files
    for (FieldId f : {F::ConnectionsTab200, F::SummaryConnections200, F::GetTab200,
                      F::SummaryGet200, F::GetTab404, F::SummaryGet404, F::SummaryPostReceptions,
                      F::PostTabReceptions, F::PostTabFiles, F::SummaryPostFiles, F::PostTab403,
                      F::SummaryPost403, F::ConnectionsTab403, F::SummaryConnections403,
                      F::ConnectionsTab404, F::SummaryConnections404})
        EXPECT_EQ(Field(f), "1") << FieldName(f);
    for (FieldId f : {F::GetTab403, F::SummaryGet403, F::PostTab200, F::SummaryPost200,
                      F::PostTab404, F::SummaryPost404, F::FaviconMsie, F::FaviconAll})
        EXPECT_EQ(Field(f), "0") << FieldName(f);
    EXPECT_EQ(Field(F::RequestsPerHost), "0");  // 1 successful GET over 2 hosts
    EXPECT_EQ(Field(F::TransferVolume), "1536");
    EXPECT_EQ(m_window.LastByteUnit(), 0);

    EXPECT_EQ(Pane(PaneId::Memo8),
              (V{S("ログファイルに含まれるホスト名・IPアドレスです..."), kDashes, "h1", "h2"}));
    EXPECT_EQ(Pane(PaneId::File404Memo),
              (V{S("要求中404(NotFound)となったログの抜粋です..."), "[Time] Host /File", kDashes,
                 "[06/Dec/2026:10:00:00 +0900] h2 /y"}));
    EXPECT_EQ(Pane(PaneId::POST403Memo),
              (V{S("要求中403(Forbidden)となったログの抜粋です..."), "[Time] Host /File", kDashes,
                 "[06/Dec/2026:10:00:00 +0900] h1 /p"}));
    EXPECT_EQ(Pane(PaneId::RobotsLog),
              (V{S("現在登録されている文字列は"), "a", "b", S("です..."),
                 "HOST [Time] \"UserAgent\"", "*HOST [Time] [FileName] \"UserAgent\"", kDashes,
                 "*h1 [06/Dec/2026:10:00:00 +0900] [/x] \"agent\"",
                 "*h2 [06/Dec/2026:10:00:00 +0900] [/y] \"agent\""}));
    EXPECT_EQ(Pane(PaneId::ReferrerList),
              (V{S("現在登録されている自ドメインは"), S("ありません..."), "[HOST] FileName",
                 kDashes, "[http://ref.example/] /x", "[http://ref.example/] /y"}));
    EXPECT_EQ(Pane(PaneId::CheckDomeinMemo),
              (V{S("現在監視対象になっているドメインは"), S("ありません..."), kDashes}));
    EXPECT_EQ(Pane(PaneId::NamaLog).size(), 3u);
    EXPECT_EQ(Pane(PaneId::Memo4).size(), 2u);
    EXPECT_EQ(Pane(PaneId::Memo5), V{"[06/Dec/2026:10:00:00 +0900] /p"});
    EXPECT_EQ(m_window.Graph(GraphId::Connections).Bars()[10].count, 3);
    EXPECT_EQ(m_window.Graph(GraphId::Connections).Bars()[10].length, 282);
    EXPECT_EQ(m_window.Graph(GraphId::GetRequests).Bars()[10].length, 188);  // 2 of 3 lines
    EXPECT_EQ(m_window.Graph(GraphId::PostReceptions).Bars()[10].length, 94);
    // The run's typed result holds what the window shows, and what it shows only rounded.
    ASSERT_TRUE(m_run);
    EXPECT_TRUE(m_run->summary.complete);
    EXPECT_EQ(m_run->summary.transferBytes, 1536.0);
    EXPECT_EQ(m_run->summary.getHours[10], 2);
    EXPECT_EQ(m_run->summary.post.status403, 1);
    // Without rule files the insight names no browser and no robot.
    ASSERT_TRUE(m_run->insight);
    EXPECT_EQ(m_run->insight->totals.hits, 3);
    ASSERT_EQ(m_run->insight->browsers.size(), 1u);
    EXPECT_EQ(m_run->insight->browsers[0].name, "その他");
    EXPECT_EQ(m_run->insight->robots.size(), 0u);
    EXPECT_FALSE(m_run->insightProblem);
}

TEST_F(Run, AnUnreadableRuleFileLeavesTheRunWithoutInsightAndSaysSo) {
    const auto rules = m_dir.Path() / "materia" / "UserAgentRules.dat";
    std::filesystem::create_directory(rules);
    ASSERT_EQ(Analyse(Line("h1", "GET /x HTTP/1.0", "200")), "");
    const std::string problem =
        S("アクセス解析の規則ファイルを読み込めないため、アクセス解析はありません: ファイル \"") +
        rules.string() + "\". " + SystemErrorText(EISDIR) + S(" は開けません");
    ASSERT_TRUE(m_run);
    EXPECT_TRUE(m_run->summary.complete);
    EXPECT_EQ(m_run->insight, nullptr);
    EXPECT_EQ(m_run->insightProblem, problem);
    V progress = ProgressLines((m_dir.Path() / "access.log").string());
    progress.insert(progress.begin() + 9, problem);  // after the lists
    EXPECT_EQ(m_window.Progress().MessageLines(), progress);
}

TEST_F(Run, ASecondRunShowsOnlyItsOwnLinesUnderOneHeader) {
    ASSERT_EQ(
        Analyse(Line("first", "GET /a HTTP/1.0", "404") + Line("first", "POST /a HTTP/1.0", "404")),
        "");
    ASSERT_EQ(Analyse(Line("second", "GET /b HTTP/1.0", "200")), "");
    EXPECT_EQ(Pane(PaneId::Memo8),
              (V{S("ログファイルに含まれるホスト名・IPアドレスです..."), kDashes, "second"}));
    EXPECT_EQ(Pane(PaneId::POST404Memo).size(), 3u);
    EXPECT_EQ(Pane(PaneId::HOST404Memo).size(), 3u);
    EXPECT_EQ(Pane(PaneId::NamaLog).size(), 1u);
    EXPECT_EQ(m_window.Progress().MessageLines().size(), 26u);  // the pane is never cleared
}

TEST_F(Run, AnEmptyLogLeavesOnlyHeadersAndZeroBars) {
    ASSERT_EQ(Analyse(""), "");
    EXPECT_EQ(Pane(PaneId::Memo8).size(), 2u);
    EXPECT_EQ(Pane(PaneId::Memo7).size(), 2u);
    EXPECT_EQ(Pane(PaneId::Memo6).size(), 2u);
    for (PaneId id : {PaneId::HOST404Memo, PaneId::HOST403Memo, PaneId::File404Memo,
                      PaneId::File403Memo, PaneId::POST404Memo, PaneId::POST403Memo})
        EXPECT_EQ(Pane(id).size(), 3u);
    EXPECT_EQ(Field(F::SummaryHosts), "0");
    EXPECT_EQ(Field(F::RequestsPerHost), "0");
    EXPECT_EQ(Field(F::TransferVolume), "0");
    for (const HourBar& bar : m_window.Graph(GraphId::Connections).Bars()) EXPECT_EQ(bar.length, 0);
    EXPECT_EQ(m_window.Graph(GraphId::PostReceptions).GetState(), HourGraph::State::Bars);
}

TEST_F(Run, SuccessfulGetsPerHostTruncate) {
    std::string log;
    for (int i = 0; i < 10; ++i) log += Line("h" + std::to_string(i % 4), "GET / HTTP/1.0", "200");
    ASSERT_EQ(Analyse(log), "");
    EXPECT_EQ(Field(F::RequestsPerHost), "2");
}

TEST_F(Run, AMissingRobotListStopsBeforeAnyLine) {
    std::filesystem::remove(m_dir.Path() / "materia" / "SERobotsList.dat");
    m_dir.WriteList("DomeinList.dat", {"own.example"});
    const std::string error = Analyse(Line("h", "GET / HTTP/1.0", "200"));
    EXPECT_EQ(error, S("ファイル \"") + (m_dir.Path() / "materia" / "SERobotsList.dat").string() +
                         S("\". 指定されたファイルが見つかりません は開けません."));
    EXPECT_TRUE(m_window.Progress().IsShown());
    EXPECT_EQ(m_window.Progress().MessageLines().back(), S("ロボット情報を読み込んでいます..."));
    EXPECT_EQ(Pane(PaneId::ReferrerList), (V{S("現在登録されている自ドメインは"), "own.example",
                                             S("です..."), "[HOST] FileName", kDashes}));
    EXPECT_EQ(Pane(PaneId::RobotsLog), V{});
    EXPECT_EQ(Field(F::SummaryConnections), "-");
    EXPECT_EQ(m_window.Graph(GraphId::Connections).GetState(), HourGraph::State::Grid);
}

TEST_F(Run, AnUnreadableLogKeepsTheUntouchedPanesAndTheProgressWindow) {
    ASSERT_EQ(
        Analyse(Line("old", "GET / HTTP/1.0", "200") + Line("old", "POST /p HTTP/1.0", "404")), "");
    const std::string missing = (m_dir.Path() / "nothing.log").string();
    EXPECT_EQ(AnalysePath(missing), S("ファイル \"") + missing +
                                        S("\". 指定されたファイルが見つかりません は開けません."));
    EXPECT_TRUE(m_window.Progress().IsShown());
    EXPECT_EQ(Pane(PaneId::Memo8), V{});
    EXPECT_EQ(Pane(PaneId::NamaLog).size(), 2u);      // not cleared
    EXPECT_EQ(Pane(PaneId::POST404Memo).size(), 4u);  // not cleared
    EXPECT_EQ(Field(F::SummaryConnections), "2");
    EXPECT_EQ(Field(F::LogName), (m_dir.Path() / "access.log").string());
    // A directory is no log either.
    EXPECT_NE(AnalysePath(m_dir.Path().string()).find(S("アクセスが拒否されました")),
              std::string::npos);
    // Nor is a FIFO (whose open would wait for a writer) or a device that never ends.
    const std::string fifo = (m_dir.Path() / "fifo.log").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    for (const std::string& odd : {fifo, std::string("/dev/zero")}) {
        EXPECT_EQ(AnalysePath(odd),
                  S("ファイル \"") + odd + S("\". 通常のファイルではありません は開けません."));
        EXPECT_TRUE(m_window.Progress().IsShown());
    }
}

TEST_F(Run, AReadThatFailsHalfWayIsTheOpenError) {
    const std::string path = m_dir.WriteFile("access.log", Line("h", "GET / HTTP/1.0", "200"));
    const std::string error = [&] {
        ScopedFileIo io;
        io.Replace(&FileIo::pread, [](int, void*, size_t, off_t) -> ssize_t {
            errno = EIO;
            return -1;
        });
        return AnalysePath(path);
    }();
    EXPECT_EQ(error,
              S("ファイル \"") + path + S("\". デバイスに I/O エラーが発生しました は開けません."));
    EXPECT_EQ(Field(F::LogName), "-");
}

TEST_F(Run, SeveralLogsAreOneRunEachNamedAsItIsRead) {
    const std::string first = m_dir.WriteFile(
        "access_log.1.gz", RunFilter("gzip -n", Line("h1", "GET /a HTTP/1.0", "200") +
                                                    Line("h2", "GET /b HTTP/1.0", "404")));
    // The last line without a line end is a line of its own.
    std::string second = Line("h1", "POST /p HTTP/1.0", "200");
    second.pop_back();
    const std::string secondPath = m_dir.WriteFile("access_log", second);
    ASSERT_EQ(Many({first, secondPath}), "");
    V progress = ProgressLines(first);
    progress.insert(progress.begin() + 3, {secondPath + S("を読み込んでいます..."),
                                           secondPath + S("を読み込みました...")});
    EXPECT_EQ(m_window.Progress().MessageLines(), progress);
    EXPECT_EQ(Field(F::LogName), first + S(" 他1ファイル"));
    EXPECT_EQ(Field(F::SummaryConnections), "3");
    EXPECT_EQ(Field(F::SummaryPostReceptions), "1");
    EXPECT_EQ(m_window.Progress().Maximum(), 3);
    EXPECT_EQ(Pane(PaneId::NamaLog).size(), 3u);
}

TEST_F(Run, ADamagedCompressedLogLeavesTheWindowAsAFailedLoadDoes) {
    ASSERT_EQ(Analyse(Line("old", "GET / HTTP/1.0", "200")), "");
    const std::string good = m_dir.WriteFile("a.log", Line("h", "GET / HTTP/1.0", "200"));
    const std::string packed = RunFilter("bzip2", Line("h", "GET / HTTP/1.0", "200"));
    const std::string cut = m_dir.WriteFile("b.bz2", packed.substr(0, packed.size() - 3));
    const std::size_t before = m_window.Progress().MessageLines().size();
    EXPECT_EQ(Many({good, cut}),
              S("ファイル \"") + cut +
                  S("\". bzip2 形式のデータが途中で終わっているため展開できません."));
    const V progress = m_window.Progress().MessageLines();
    EXPECT_EQ(V(progress.begin() + static_cast<std::ptrdiff_t>(before), progress.end()),
              (V{S("初期化しています..."), good + S("を読み込んでいます..."),
                 good + S("を読み込みました..."), cut + S("を読み込んでいます...")}));
    EXPECT_TRUE(m_window.Progress().IsShown());
    EXPECT_EQ(Pane(PaneId::Memo8), V{});
    EXPECT_EQ(Pane(PaneId::CheckDomeinMemo), V{});  // no list was loaded
    EXPECT_EQ(Pane(PaneId::NamaLog).size(), 1u);    // not cleared: the last whole run's
    EXPECT_EQ(Field(F::LogName), (m_dir.Path() / "access.log").string());
    EXPECT_EQ(m_window.Graph(GraphId::Connections).GetState(), HourGraph::State::Grid);
}

TEST_F(Run, ABadHourMidLogKeepsTheLivePanes) {
    m_dir.WriteList("CheckDomeinList.dat", {"w"});
    const std::string error = Analyse(Line("w1", "GET /a HTTP/1.0", "200") + "bad line\n" +
                                      Line("h", "GET /c HTTP/1.0", "200"));
    EXPECT_EQ(error, S("'' は整数ではありません."));
    EXPECT_FALSE(m_window.Progress().IsShown());
    EXPECT_EQ(Pane(PaneId::Memo4), V{"[06/Dec/2026:10:00:00 +0900] /a"});
    EXPECT_EQ(Pane(PaneId::ReferrerLog).size(), 1u);
    EXPECT_EQ(Pane(PaneId::ReferrerList).size(), 5u);
    EXPECT_EQ(Pane(PaneId::CheckDomeinMemo).size(), 4u);  // its header only
    EXPECT_EQ(Pane(PaneId::Memo9), V{});
    EXPECT_EQ(Field(F::SummaryConnections), "-");
    EXPECT_EQ(m_window.Progress().Position(), 1);
    EXPECT_EQ(m_window.Graph(GraphId::GetRequests).GetState(), HourGraph::State::Grid);
}

TEST_F(Run, AFailingSizeKeepsTheFailingLinesEarlierEntries) {
    EXPECT_EQ(Analyse(Line("h", "GET /z HTTP/1.0", "200", "1x")), S("'1x' は整数ではありません."));
    EXPECT_EQ(Pane(PaneId::Memo4), V{"[06/Dec/2026:10:00:00 +0900] /z"});
    EXPECT_EQ(Pane(PaneId::ReferrerLog), V{});
}

TEST_F(Run, TheVolumeIsWrittenInTheChosenUnitAndConvertedFromItsText) {
    m_window.Unit().SetItemIndex(1);
    ASSERT_EQ(Analyse(Line("h", "GET / HTTP/1.0", "200", "1536")), "");
    EXPECT_EQ(Field(F::TransferVolume), "1.5");
    const auto choose = [&](int index) {
        m_window.Unit().SetItemIndex(index);
        ChangeByteUnit(m_window);
        return Field(F::TransferVolume);
    };
    EXPECT_EQ(choose(2), "0.00146484375");
    EXPECT_EQ(choose(3), "1.43051147460938E-6");
    EXPECT_EQ(choose(0), "1536.00000000001");
    EXPECT_EQ(choose(0), "1536.00000000001");   // the unit already shown
    EXPECT_EQ(choose(-1), "1536.00000000001");  // typing: nothing converted, the index recorded
    EXPECT_EQ(m_window.LastByteUnit(), -1);
    EXPECT_EQ(choose(1), "1536.00000000001");  // nothing converted after typing either
    EXPECT_EQ(m_window.LastByteUnit(), 1);
}

TEST_F(Run, BeforeAnyRunTheUnitChangesNothing) {
    m_window.Unit().SetItemIndex(2);
    ChangeByteUnit(m_window);
    EXPECT_EQ(Field(F::TransferVolume), "-");
    EXPECT_EQ(m_window.LastByteUnit(), kNoUnitYet);
    // A run made while no item is chosen leaves "-", which is then never parsed.
    m_window.Unit().SetItemIndex(-1);
    ASSERT_EQ(Analyse(Line("h", "GET / HTTP/1.0", "200", "123456789")), "");
    EXPECT_EQ(Field(F::TransferVolume), "-");
    m_window.Unit().SetItemIndex(1);
    ChangeByteUnit(m_window);
    EXPECT_EQ(Field(F::TransferVolume), "-");
    EXPECT_EQ(m_window.LastByteUnit(), 1);
    ASSERT_EQ(Analyse(Line("h", "GET / HTTP/1.0", "200", "123456789")), "");
    EXPECT_EQ(Field(F::TransferVolume), "120563.270507813");
}

TEST(HourBars, LengthsAreIntegerSharesOf282) {
    HourCounts counts{};
    counts[14] = 19;
    counts[2] = 1;
    const auto bars = ComputeHourBars(counts, 47);
    EXPECT_EQ(bars[14].length, 114);  // exactly 282 x 19 / 47; the share in doubles would give 113
    EXPECT_EQ(bars[2].length, 6);
    EXPECT_EQ(bars[2].rowTop, 240);  // the lowest row
    EXPECT_EQ(bars[3].rowTop, 0);    // the highest
    EXPECT_EQ(bars[0].rowTop, 220);
    EXPECT_EQ(bars[23].rowTop, 200);
    counts[5] = 1;
    EXPECT_EQ(ComputeHourBars(counts, 3)[5].length, 94);
    EXPECT_EQ(ComputeHourBars(counts, 7)[5].length, 40);
    EXPECT_EQ(ComputeHourBars(counts, 1000)[5].length, 0);
    EXPECT_EQ(ComputeHourBars(counts, 0)[5].length, 0);
    for (std::int64_t n = 1; n <= 300; ++n)
        for (std::int64_t c = 0; c <= n; ++c) {
            counts[7] = c;
            ASSERT_EQ(ComputeHourBars(counts, n)[7].length, 282 * c / n);
        }
}
