#include "analysis/LogCounting.h"

#include <unistd.h>

#include <memory>
#include <vector>

#include "analysis/CountingResult.h"
#include "analysis/MemoPanes.h"
#include "analysis/ReferenceLists.h"
#include "analysis/TransferUnits.h"
#include "io/FileIo.h"
#include "io/LogFile.h"
#include "text/Cp932.h"
#include "text/Errors.h"
#include "text/IntegerText.h"

namespace pomurina {
namespace {

std::string Sjis(const char* utf8) {
    return Utf8ToCp932(utf8);
}

std::shared_ptr<const TextLines> LoadLog(const std::string& path) {
    ByteBuffer bytes;
    if (const int error = ReadLogFile(path, bytes)) throw FileOpenFailure(path, error);
    return std::make_shared<const TextLines>(std::move(bytes));
}

// Loads one reference list and writes its header into its pane: the first
// line, the entries and "です..." (or "ありません..."), the format lines, the rule.
void LoadList(TextList& list, const std::string& file, const RunPlaces& places, Pane& pane,
              const char* firstLine, std::initializer_list<const char*> formatLines) {
    // The result is not checked: a directory that can't be entered shows as a list that can't be
    // read.
    (void)::chdir(places.programDirectory.c_str());
    list.LoadFromFile(places.materiaDirectory + "/" + file);
    pane.Append(Sjis(firstLine));
    if (list.Empty()) {
        pane.Append(Sjis("ありません..."));
    } else {
        for (const auto& entry : list.Lines()) pane.Append(entry);
        pane.Append(Sjis("です..."));
    }
    for (const char* line : formatLines) pane.Append(line);
    pane.Append(kRule);
}

// The five collections shown while they grow, and how much of each is shown.
class LiveCollections {
public:
    LiveCollections(ResultWindow& w, const CountingResult& r)
        : m_feeds{{{r.GetExtract, &w.GetPane(PaneId::Memo4)},
                   {r.PostExtract, &w.GetPane(PaneId::Memo5)},
                   {r.ReferrerHits, &w.GetPane(PaneId::ReferrerLog)},
                   {r.ForeignReferrers, &w.GetPane(PaneId::ReferrerList)},
                   {r.RobotHits, &w.GetPane(PaneId::RobotsLog)}}} {}

    // Puts every entry appended since the last call into its pane.
    void CatchUp() {
        for (Feed& feed : m_feeds) {
            const std::size_t count = feed.entries->Count();
            feed.pane->AppendRange(feed.entries, feed.shown, count - feed.shown);
            feed.shown = count;
        }
    }

private:
    struct Feed {
        std::shared_ptr<EntryList> entries;
        Pane* pane;
        std::size_t shown = 0;
    };
    std::vector<Feed> m_feeds;
};

void WriteField(ResultWindow& w, int number, long long value) {
    w.GetField(number).SetText(IntToStr(value));
}

// The live panes and the progress bar follow the classification batch by
// batch; a failing line's earlier entries stay shown.
void ClassifyAll(ResultWindow& w, const ReferenceLists& lists, CountingResult& r,
                 const ClassifyPlan& plan) {
    ProgressDisplay& progress = w.Progress();
    LiveCollections live(w, r);
    ClassifyLines(lists, r, plan, [&] {
        live.CatchUp();
        progress.SetPosition(r.LineCount);
    });
}

void OutputCollections(ResultWindow& w, const CountingResult& r) {
    w.GetPane(PaneId::NamaLog).ReplaceAll(r.LogLines);
    w.GetPane(PaneId::Memo9).ReplaceAll(r.HostExtract);
    w.GetPane(PaneId::Memo2).ReplaceAll(r.HostOther);
    w.GetPane(PaneId::HOST403Memo).ReplaceAll(r.Host403);
    w.GetPane(PaneId::HOST404Memo).ReplaceAll(r.Host404);
    w.GetPane(PaneId::Memo10).ReplaceAll(r.GetOther);
    w.GetPane(PaneId::File403Memo).ReplaceAll(r.Get403);
    w.GetPane(PaneId::File404Memo).ReplaceAll(r.Get404);
    w.GetPane(PaneId::Memo11).ReplaceAll(r.PostOther);
    w.GetPane(PaneId::POST403Memo).ReplaceAll(r.Post403);
    w.GetPane(PaneId::POST404Memo).ReplaceAll(r.Post404);
    w.GetPane(PaneId::Memo8).ReplaceAll(r.HostNames.Entries());
    w.GetPane(PaneId::Memo7).ReplaceAll(r.GetFiles.Entries());
    w.GetPane(PaneId::Memo6).ReplaceAll(r.PostFiles.Entries());
    w.GetPane(PaneId::CheckDomeinMemo)
        .AppendRange(r.CheckDomeinHits, 0, r.CheckDomeinHits->Count());
}

void WriteFields(ResultWindow& w, const CountingResult& r) {
    const auto count = [](const std::shared_ptr<EntryList>& list) {
        return static_cast<long long>(list->Count());
    };
    WriteField(w, 1, r.LineCount);
    WriteField(w, 2, static_cast<long long>(w.GetPane(PaneId::Memo8).Count()) - 2);
    WriteField(w, 12, r.LineCount);
    WriteField(w, 11, r.HostCount);
    WriteField(w, 3, r.GetCount);
    WriteField(w, 8, r.GetCount);
    WriteField(w, 4, r.PostCount);
    WriteField(w, 6, r.PostCount);
    WriteField(w, 7, r.GetFileCount);
    WriteField(w, 9, r.GetFileCount);
    WriteField(w, 5, r.PostFileCount);
    WriteField(w, 10, r.PostFileCount);
    WriteField(w, 33, r.FaviconCount);
    WriteField(w, 31, r.FaviconMsieCount);
    // A log without lines has no hosts to divide by: the field shows 0.
    WriteField(w, 32, r.HostCount > 0 ? r.Get200Count / r.HostCount : 0);
    WriteTransferVolume(w, r.TransferTotal);
    WriteField(w, 20, r.Host200Count);
    WriteField(w, 19, count(r.Host403));
    WriteField(w, 21, count(r.Host404));
    WriteField(w, 22, r.Host200Count);
    WriteField(w, 23, count(r.Host403));
    WriteField(w, 24, count(r.Host404));
    WriteField(w, 13, r.Get200Count);
    WriteField(w, 14, count(r.Get403));
    WriteField(w, 15, count(r.Get404));
    WriteField(w, 27, r.Get200Count);
    WriteField(w, 26, count(r.Get403));
    WriteField(w, 25, count(r.Get404));
    WriteField(w, 17, r.Post200Count);
    WriteField(w, 16, count(r.Post403));
    WriteField(w, 18, count(r.Post404));
    WriteField(w, 30, r.Post200Count);
    WriteField(w, 29, count(r.Post403));
    WriteField(w, 28, count(r.Post404));
}

}  // namespace

void LogCounting(ResultWindow& w, const std::string& path, const RunPlaces& places,
                 const ClassifyPlan& plan) {
    ProgressDisplay& progress = w.Progress();
    progress.Show();
    progress.AddLine(Sjis("初期化しています..."));
    MemoFree(w);
    for (int graph = 1; graph <= 3; ++graph) w.Graph(graph).DrawGrid();

    // Until the classification begins, a failure leaves the window as it is
    // at that moment, the progress window included.
    const std::string pathText = PathText(path);
    std::shared_ptr<const TextLines> logLines = LoadLog(path);
    progress.AddLine(pathText + Sjis("を読み込んでいます..."));
    progress.SetPosition(0);
    progress.SetMaximum(static_cast<std::int64_t>(logLines->Count()));
    progress.AddLine(pathText + Sjis("を読み込みました..."));
    w.GetField(35).SetText(pathText);

    ReferenceLists lists;
    progress.AddLine(Sjis("監視対象ドメインを読み込んでいます..."));
    LoadList(lists.WatchedDomains, "CheckDomeinList.dat", places,
             w.GetPane(PaneId::CheckDomeinMemo), "現在監視対象になっているドメインは", {});
    progress.AddLine(Sjis("監視対象ドメインを読み込みました..."));
    progress.AddLine(Sjis("自ドメインを読み込んでいます..."));
    LoadList(lists.OwnDomains, "DomeinList.dat", places, w.GetPane(PaneId::ReferrerList),
             "現在登録されている自ドメインは", {"[HOST] FileName"});
    progress.AddLine(Sjis("自ドメインを読み込みました..."));
    progress.AddLine(Sjis("ロボット情報を読み込んでいます..."));
    LoadList(lists.RobotStrings, "SERobotsList.dat", places, w.GetPane(PaneId::RobotsLog),
             "現在登録されている文字列は",
             {"HOST [Time] \"UserAgent\"", "*HOST [Time] [FileName] \"UserAgent\""});
    progress.AddLine(Sjis("ロボット情報を読み込みました..."));
    lists.Prepare();

    auto result = std::make_unique<CountingResult>(std::move(logLines));
    progress.AddLine(Sjis("データを集計しています..."));
    try {
        ClassifyAll(w, lists, *result, plan);
        progress.AddLine(Sjis("集計が終了しました..."));
        progress.AddLine(Sjis("結果を出力しています..."));
        OutputCollections(w, *result);
        MessageToMemo(w);
        WriteFields(w, *result);
        progress.AddLine(Sjis("グラフを描画しています..."));
        const auto total = static_cast<std::int64_t>(result->LogLines->Count());
        w.Graph(1).DrawBars(result->AllHours, total);
        w.Graph(2).DrawBars(result->GetHours, total);
        w.Graph(3).DrawBars(result->PostHours, total);
    } catch (...) {
        result.reset();
        progress.Hide();
        throw;
    }
    result.reset();
    progress.Hide();
}

}  // namespace pomurina
