#include "analysis/LogCounting.h"

#include <algorithm>
#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Errors.h"
#include "analysis/BatchClassifier.h"
#include "analysis/BlockArrival.h"
#include "analysis/CountingResult.h"
#include "analysis/LogArrival.h"
#include "analysis/ReferenceLists.h"
#include "analysis/ResultMemory.h"
#include "filter/LineSelector.h"
#include "insight/AgentRules.h"
#include "insight/InsightRules.h"
#include "insight/InsightWhole.h"
#include "io/DataFolder.h"
#include "io/FileIo.h"
#include "io/LogFiles.h"
#include "memory/MemoryBudget.h"
#include "text/Cp932.h"
#include "window/MemoPanes.h"
#include "window/SummaryFields.h"

namespace pomurina {
namespace {

// The most lines taken at a time from logs that are still being read.
constexpr std::size_t kStepLines = std::size_t{1} << 20;

bool IsShortage(const std::exception_ptr& error) {
    if (!error) return false;
    try {
        std::rethrow_exception(error);
    } catch (const MemoryShortageError&) {
        return true;
    } catch (...) {
        return false;
    }
}

std::string Sjis(const char* utf8) {
    return Utf8ToCp932(utf8);
}

// The three reference lists: their files, what the progress window calls
// them, and the header written into their panes.
struct ListFile {
    TextList ReferenceLists::*list;
    const char* file;
    const char* name;
    PaneId pane;
    const char* firstLine;
    std::vector<const char*> formatLines;
};
const ListFile kListFiles[] = {
    {&ReferenceLists::WatchedDomains,
     "CheckDomeinList.dat",
     "監視対象ドメイン",
     PaneId::CheckDomeinMemo,
     "現在監視対象になっているドメインは",
     {}},
    {&ReferenceLists::OwnDomains,
     "DomeinList.dat",
     "自ドメイン",
     PaneId::ReferrerList,
     "現在登録されている自ドメインは",
     {"[HOST] FileName"}},
    {&ReferenceLists::RobotStrings,
     "SERobotsList.dat",
     "ロボット情報",
     PaneId::RobotsLog,
     "現在登録されている文字列は",
     {"HOST [Time] \"UserAgent\"", "*HOST [Time] [FileName] \"UserAgent\""}},
};

// The lists as read, up to the first that could not be, and the insight's
// rules with the insight they are read into.
struct LoadedLists {
    ReferenceLists lists;
    std::size_t failed = std::size(kListFiles);  // that first one, if any
    std::exception_ptr error;
    std::shared_ptr<const InsightRules> insightRules;
    std::unique_ptr<InsightWhole> insight;  // none when its rules could not be read
    std::optional<std::string> insightProblem;
};

// The insight's rule files can't be read: the run goes on without it.
std::string InsightProblemText(const Error& error) {
    return Sjis("アクセス解析の規則ファイルを読み込めないため、アクセス解析はありません: ") +
           error.Message();
}

// Reads the lists without showing them (the logs may still be read).  The
// insight keeps its texts as given (views of a log held whole, or copies).
void LoadLists(LoadedLists& loaded, const RunPlaces& places,
               InternTable::Storage texts = InternTable::Storage::Views) {
    for (std::size_t k = 0; k < std::size(kListFiles); ++k) {
        // A directory that can't be entered shows as a list that can't be read.
        EnterFolder(places.programDirectory);
        try {
            (loaded.lists.*kListFiles[k].list)
                .LoadFromFile(places.materiaDirectory + "/" + kListFiles[k].file);
        } catch (...) {
            loaded.failed = k;
            loaded.error = std::current_exception();
            return;
        }
    }
    loaded.lists.Prepare();
    try {
        loaded.insightRules =
            LoadInsightRules(places.materiaDirectory, loaded.lists.OwnDomains.Lines());
        loaded.insight = std::make_unique<InsightWhole>(*loaded.insightRules, texts);
    } catch (const Error& e) {
        loaded.insightProblem = InsightProblemText(e);
    }
}

// Shows the lists as the run reads them, each announced in the progress
// window, with its header in its pane: the first line, the entries and
// "です..." (or "ありません..."), the format lines, the rule.  Stops with
// the error of a list that could not be read.
void ShowLists(ResultWindow& w, const LoadedLists& loaded) {
    for (std::size_t k = 0; k < std::size(kListFiles); ++k) {
        const ListFile& file = kListFiles[k];
        w.Progress().AddLine(Sjis(file.name) + Sjis("を読み込んでいます..."));
        if (k == loaded.failed) std::rethrow_exception(loaded.error);
        const TextList& list = loaded.lists.*file.list;
        Pane& pane = w.GetPane(file.pane);
        pane.Append(Sjis(file.firstLine));
        if (list.Empty()) {
            pane.Append(Sjis("ありません..."));
        } else {
            for (const auto& entry : list.Lines()) pane.Append(entry);
            pane.Append(Sjis("です..."));
        }
        for (const char* line : file.formatLines) pane.Append(line);
        pane.Append(kRule);
        w.Progress().AddLine(Sjis(file.name) + Sjis("を読み込みました..."));
    }
    if (loaded.insightProblem) w.Progress().AddLine(*loaded.insightProblem);
}

// The progress window's line for a filter applied.
std::string AppliedFilterLine(const LineFilter& filter) {
    return Sjis("絞り込んでいます: ") + Utf8ToCp932(filter.Description());
}

// The run's failure when no line passes filter.
Error NothingPassesError(const LineFilter& filter) {
    return Error(Sjis("絞り込み（") + Utf8ToCp932(filter.Description()) +
                 Sjis("）に合う行がログにありません。期間や条件を確かめてください"));
}

// The run's logs, read into its result, charged to the run's budget.
class LogLoading {
public:
    // held: lines an earlier run read, used instead of reading the logs.
    LogLoading(ProgressDisplay& progress, const std::vector<std::string>& paths,
               std::shared_ptr<const TextLines> held, MemoryBudget& budget, ResultMemory& memory)
        : m_progress(progress),
          m_paths(paths),
          m_held(std::move(held)),
          m_reading(m_held ? std::vector<std::string>{} : paths),
          m_budget(budget),
          m_memory(memory) {}

    // Reads the logs and the lists.  Nothing is shown but the progress
    // window: a failure leaves the window as any failed load does.
    // With a filter set, a run read in blocks keeps only the lines that
    // pass (Filtered() then says so); otherwise no line is classified before
    // every line has arrived, and the filter chooses among all of them.
    std::unique_ptr<CountingResult> Load(LoadedLists& lists, const RunPlaces& places,
                                         const ClassifyPlan& plan, const LineFilter& filter) {
        if (m_held) {
            LoadLists(lists, places);
            return std::make_unique<CountingResult>(m_held);
        }
        if (plan.keepOriginals) m_reading.KeepOriginals();
        if (plan.blockBytes > 0) return LoadStreamed(lists, places, plan, filter);
        const bool wholeFirst = filter.IsSet();
        if (!m_reading.OnePlainFile()) return LoadArriving(lists, places, plan, wholeFirst);
        Told(0, false);
        ByteBuffer bytes;
        m_reading.ReadPlainFile(bytes, m_budget);
        auto lines = std::make_shared<const TextLines>(std::move(bytes), &m_budget);
        Told(0, true);
        LoadLists(lists, places);
        return std::make_unique<CountingResult>(std::move(lines));
    }
    // The failure of a line classified while the logs were read.
    std::exception_ptr ClassifyError() const { return m_classifyError; }
    // The lines read after the run had failed, counted and not kept.
    std::size_t LinesLeftOut() const { return m_linesLeftOut; }
    // Whether the lines loaded are those a filter passed already, and
    // whether there were none.
    bool Filtered() const { return m_filtered; }
    bool NonePassed() const { return m_nonePassed; }
    // The format each log was read as (none when the lines were held).
    const std::vector<LogFormat>& Formats() const { return m_reading.Formats(); }
    const std::vector<std::shared_ptr<const OriginalLog>>& Originals() const {
        return m_reading.Originals();
    }

private:
    void Told(std::size_t index, bool ended) {
        m_progress.AddLine(LogNameText(m_paths[index]) +
                           Sjis(ended ? "を読み込みました..." : "を読み込んでいます..."));
    }

    // Compressed logs, several logs, standard input: read on a thread of
    // their own while the lines that have arrived are classified.
    std::unique_ptr<CountingResult> LoadArriving(LoadedLists& lists, const RunPlaces& places,
                                                 const ClassifyPlan& plan, bool wholeFirst) {
        LogText text(m_budget);
        LogArrival arrival(m_reading, text);
        // Every log is open: the current directory may change now.
        LoadLists(lists, places);
        // Once the run has failed, the logs are read only for their count of
        // lines (the bar's end, as a plain log shows it).
        if (lists.error) text.KeepNoMore();
        std::shared_ptr<TextLines> arriving;
        std::unique_ptr<CountingResult> result;
        if (text.Fixed() && !wholeFirst) {
            arriving = TextLines::Arriving(text.Bytes());
            result = std::make_unique<CountingResult>(arriving);
        }
        // The bar follows the reading, and is put back if it fails.
        const std::int64_t barPosition = m_progress.Position(), barMaximum = m_progress.Maximum();
        try {
            for (std::size_t seen = 0;;) {
                LogArrival::News news = arrival.Wait(seen, plan.arrivingBytes);
                for (const auto& [index, ended] : news.told) Told(index, ended);
                // The reading ends when the memory runs out; so may the
                // taking of the lines that arrived.
                const bool readingShort = IsShortage(news.error);
                if (news.error && !readingShort) std::rethrow_exception(news.error);
                seen = news.length;
                std::exception_ptr shortage = readingShort ? news.error : nullptr;
                if (arriving)
                    TakeArrived(*arriving, *result, lists, plan, text, seen, news.ended, shortage);
                if (shortage) {
                    if (!Failed(lists)) std::rethrow_exception(shortage);
                    if (readingShort) break;
                }
                if (news.ended) break;
            }
        } catch (...) {
            m_progress.SetMaximum(barMaximum);
            m_progress.SetPosition(barPosition);
            throw;
        }
        text.Finish();
        if (result) {
            if (Failed(lists)) m_linesLeftOut = text.LinesAfter(arriving->Taken());
            return result;
        }
        result = std::make_unique<CountingResult>(
            std::make_shared<const TextLines>(std::move(*text.Bytes()), &m_budget));
        if (Failed(lists)) m_linesLeftOut = text.LinesAfter(0) - result->LogLines->Count();
        return result;
    }

    bool Failed(const LoadedLists& lists) const { return lists.error || m_classifyError; }

    // The bar's end, guessed from how much of the files has been read.
    void GuessBarEnd(std::size_t lines) {
        const std::size_t read = m_reading.BytesRead(), total = m_reading.TotalSize();
        if (read > 0 && total >= read)
            m_progress.SetMaximum(static_cast<std::int64_t>(
                static_cast<double>(lines) *
                (static_cast<double>(total) / static_cast<double>(read))));
    }

    // The logs read a block at a time, each block's lines classified into a
    // result that keeps copies of what it shows before the block's room is
    // used again: the log itself is never held.  Once the run has failed,
    // the lines are only counted.  A filter chooses among each block's lines.
    std::unique_ptr<CountingResult> LoadStreamed(LoadedLists& lists, const RunPlaces& places,
                                                 const ClassifyPlan& plan,
                                                 const LineFilter& filter) {
        // Every log is open: the current directory may change now.
        LoadLists(lists, places, InternTable::Storage::Copies);
        m_filtered = filter.IsSet();
        if (m_filtered) m_progress.AddLine(AppliedFilterLine(filter));
        const AgentRules noRules;
        const AgentRules& agents = lists.insightRules ? lists.insightRules->agents : noRules;
        m_memory.Measure(lists.insight.get());
        auto result = std::make_unique<CountingResult>(TextLines::Passed(0));
        result->KeepsExtracts = plan.keepExtracts;
        for (const auto list : CountingResult::kEntryLists)
            (result.get()->*list)->KeepAtMost(plan.keepEntries);
        for (DistinctList* list : {&result->HostNames, &result->GetFiles, &result->PostFiles})
            list->Entries()->KeepAtMost(plan.keepEntries);
        std::size_t passed = 0;
        const std::int64_t barPosition = m_progress.Position(), barMaximum = m_progress.Maximum();
        try {
            // Its rooms take at most a tenth of what the run may use.
            const std::size_t blockBytes = std::min(
                plan.blockBytes, std::max(m_budget.Limit() / (10 * BlockArrival::Rooms(plan)),
                                          std::size_t{1} << 18));
            BatchClassifier classifier(lists.lists, *result, plan, lists.insight.get());
            BlockArrival::Calls calls;
            calls.told = [&](std::size_t index, bool ended) { Told(index, ended); };
            // On the reading thread.
            calls.choose = [&](std::shared_ptr<const TextLines> block) {
                if (m_filtered)
                    block = TextLines::Selected(block, SelectLines(*block, filter, agents));
                passed += block->Count();
                return block;
            };
            // The lists don't change while the run goes.
            calls.classify = [&](const std::shared_ptr<const TextLines>& block, std::size_t first,
                                 std::size_t end, ClassifiedBatch& batch) {
                return !lists.error && classifier.Classify(block, first, end, batch);
            };
            calls.finish = [&](ClassifiedBatch& batch, std::size_t linesRead) {
                if (Failed(lists)) return;
                GuessBarEnd(linesRead);
                if (!batch.part) return;
                try {
                    classifier.Merge(batch, [&] {
                        m_progress.SetPosition(result->LineCount);
                        m_memory.Follow(*result);
                    });
                } catch (const MemoryShortageError&) {
                    throw;  // what the outputs keep doesn't fit
                } catch (...) {
                    m_classifyError = std::current_exception();
                }
            };
            BlockArrival arrival(m_reading, m_budget, blockBytes, plan);
            arrival.Run(calls);
        } catch (...) {
            m_progress.SetMaximum(barMaximum);
            m_progress.SetPosition(barPosition);
            throw;
        }
        result->SettleEntries();
        const auto classified = static_cast<std::size_t>(result->LineCount);
        m_nonePassed = m_filtered && passed == 0;
        result->LogLines = TextLines::Passed(classified);
        m_linesLeftOut = passed - classified;
        return result;
    }

    // Takes and classifies the lines of the first length bytes, a step at a
    // time: a text of line ends alone costs little before its first line is
    // classified.  Once the memory has run out (shortage), one step more is
    // taken out of the budget's margin: a line that arrived before and fails
    // is the run's failure, and the run needs nothing after it.
    void TakeArrived(TextLines& lines, CountingResult& result, const LoadedLists& lists,
                     const ClassifyPlan& plan, LogText& text, std::size_t length, bool whole,
                     std::exception_ptr& shortage) {
        for (bool more = true; more && !Failed(lists);) {
            try {
                more = lines.Extend(length, whole, shortage ? nullptr : &m_budget, kStepLines) &&
                       !shortage;
            } catch (const MemoryShortageError&) {
                shortage = std::current_exception();
                continue;
            }
            Classify(result, lists, plan, text);
        }
    }

    // Classifies the lines that have arrived, and guesses the bar's end.
    void Classify(CountingResult& result, const LoadedLists& lists, const ClassifyPlan& plan,
                  LogText& text) {
        const std::size_t count = result.LogLines->Count();
        if (count == static_cast<std::size_t>(result.LineCount)) return;
        GuessBarEnd(count);
        try {
            ClassifyLines(
                lists.lists, result, plan,
                [&] {
                    m_progress.SetPosition(result.LineCount);
                    m_memory.Follow(result);
                },
                lists.insight.get());
        } catch (const MemoryShortageError&) {
            throw;  // the logs don't fit: a failed load, as when the text doesn't
        } catch (...) {
            m_classifyError = std::current_exception();
            text.KeepNoMore();
        }
    }

    ProgressDisplay& m_progress;
    const std::vector<std::string>& m_paths;
    std::shared_ptr<const TextLines> m_held;
    LogReading m_reading;
    MemoryBudget& m_budget;
    ResultMemory& m_memory;
    std::exception_ptr m_classifyError;
    std::size_t m_linesLeftOut = 0;
    bool m_filtered = false;
    bool m_nonePassed = false;
};

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

// The live panes and the progress bar follow the classification batch by
// batch; a failing line's earlier entries stay shown.  The lines classified
// while the logs were read are shown first, with their failure.
void ClassifyAll(ResultWindow& w, const LoadedLists& lists, CountingResult& r,
                 const ClassifyPlan& plan, const std::exception_ptr& earlier,
                 ResultMemory& memory) {
    ProgressDisplay& progress = w.Progress();
    LiveCollections live(w, r);
    live.CatchUp();
    progress.SetPosition(r.LineCount);
    if (earlier) std::rethrow_exception(earlier);
    ClassifyLines(
        lists.lists, r, plan,
        [&] {
            live.CatchUp();
            progress.SetPosition(r.LineCount);
            memory.Follow(r);
        },
        lists.insight.get());
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

// The lines of the run's logs that pass filter, in their order, as the lines
// the run classifies; none passing is the run's failure.
std::unique_ptr<CountingResult> SelectedLines(ResultWindow& w, const LoadedLists& lists,
                                              std::shared_ptr<const TextLines> all,
                                              const LineFilter& filter,
                                              std::vector<std::uint64_t> chosen) {
    w.Progress().AddLine(AppliedFilterLine(filter));
    const AgentRules noRules;
    if (chosen.empty())
        chosen =
            SelectLines(*all, filter, lists.insightRules ? lists.insightRules->agents : noRules);
    if (chosen.empty()) throw NothingPassesError(filter);
    w.Progress().SetMaximum(static_cast<std::int64_t>(chosen.size()));
    return std::make_unique<CountingResult>(TextLines::Selected(std::move(all), std::move(chosen)));
}

// The graphs' bars: the hours' shares of all lines.
void DrawGraphs(ResultWindow& w, const Summary& summary) {
    const std::int64_t total = summary.connections.total;
    w.Graph(GraphId::Connections).DrawBars(summary.allHours, total);
    w.Graph(GraphId::GetRequests).DrawBars(summary.getHours, total);
    w.Graph(GraphId::PostReceptions).DrawBars(summary.postHours, total);
}

}  // namespace

RunResult LogCounting(ResultWindow& w, const std::vector<std::string>& paths,
                      const RunPlaces& places, const ClassifyPlan& plan, const LineFilter& filter) {
    return LogCounting(w, nullptr, paths, places, plan, filter);
}

RunResult LogCounting(ResultWindow& w, std::shared_ptr<const TextLines> held,
                      const std::vector<std::string>& paths, const RunPlaces& places,
                      const ClassifyPlan& plan, const LineFilter& filter,
                      std::vector<std::uint64_t> chosen) {
    ProgressDisplay& progress = w.Progress();
    progress.Show();
    progress.AddLine(Sjis("初期化しています..."));
    MemoFree(w);
    for (int g = 0; g < kGraphCount; ++g) w.Graph(GraphAt(g)).DrawGrid();

    // Until the classification begins, a failure leaves the window as it is
    // at that moment, the progress window included.
    // The budget is taken once the previous run's collections are let go.
    MemoryBudget budget(RunMemory());
    ResultMemory memory(budget);
    LoadedLists lists;
    std::unique_ptr<CountingResult> result;
    std::exception_ptr classifyError;
    std::size_t linesLeftOut = 0;
    bool filtered = false, nonePassed = false;  // already, as the blocks were read
    std::vector<LogFormat> formats;
    std::vector<std::shared_ptr<const OriginalLog>> originals;
    {
        LogLoading loading(progress, paths, std::move(held), budget, memory);
        result = loading.Load(lists, places, plan, filter);
        filtered = loading.Filtered();
        nonePassed = loading.NonePassed();
        classifyError = loading.ClassifyError();
        linesLeftOut = loading.LinesLeftOut();
        formats = loading.Formats();
        originals = loading.Originals();
    }
    progress.SetPosition(result->LineCount);
    progress.SetMaximum(static_cast<std::int64_t>(result->LogLines->Count() + linesLeftOut));
    w.GetField(FieldId::LogName)
        .SetText(paths.empty() ? std::string()
                               : LogNameText(paths.front()) + MoreLogsText(paths.size()));
    ShowLists(w, lists);

    RunResult run;
    run.wholeLog = result->LogLines;
    run.filter = filter;
    run.formats = std::move(formats);
    if (std::any_of(originals.begin(), originals.end(), [](const auto& log) { return log; }))
        run.originals = std::move(originals);
    if (nonePassed) throw NothingPassesError(filter);
    if (filter.IsSet() && !filtered)
        result = SelectedLines(w, lists, result->LogLines, filter, std::move(chosen));
    progress.AddLine(Sjis("データを集計しています..."));
    try {
        ClassifyAll(w, lists, *result, plan, classifyError, memory);
        // The insight's tables keep copies of the texts they show.
        if (lists.insight) {
            run.insight = std::make_shared<const Insight>(lists.insight->Finish(plan.blockBytes > 0));
            run.insightRules = lists.insightRules;
        }
        lists.insight.reset();
        run.insightProblem = lists.insightProblem;
        progress.AddLine(Sjis("集計が終了しました..."));
        progress.AddLine(Sjis("結果を出力しています..."));
        OutputCollections(w, *result);
        MessageToMemo(w);
        run.summary = SummaryOf(*result);
        ShowSummary(w, run.summary);
        progress.AddLine(Sjis("グラフを描画しています..."));
        DrawGraphs(w, run.summary);
        run.ownDomainsListed = !lists.lists.OwnDomains.Empty();
        run.referrers = result->ReferrerHits;
        run.logLines = result->LogLines;
    } catch (...) {
        result.reset();
        progress.Hide();
        throw;
    }
    result.reset();
    progress.Hide();
    return run;
}

}  // namespace pomurina
