#pragma once
// The main window TForm1 ("ポムリナ"): the menu, the seven tabs with their
// twenty result panes, thirty-five summary fields, the unit box and the
// three graphs.  It is what an analysis run fills (ResultWindow).
#include <QMainWindow>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "analysis/RunResult.h"
#include "filter/PeriodPreset.h"
#include "insight/InsightRow.h"
#include "window/ResultWindow.h"

class QAction;
class QGroupBox;
class QMenu;
class QPushButton;

namespace pomurina {

class FieldEdit;
class FileLines;
class GraphImage;
class LogNarrowing;
class NarrowingBar;
class OwnDomainBar;
class PageControl;
class PaneCommands;
class PaneView;
class RecentFilesMenu;
struct FilterChoice;
class UnitBox;

class TForm1 final : public QMainWindow, public ResultWindow {
public:
    explicit TForm1(QWidget* parent = nullptr);

    // Menu MainMenu1.
    QMenu *File1, *N2, *View1;
    QAction *OpenO1, *FTP1, *ReanalyseR1, *SaveS1, *ExitE1, *N3, *UTF81, *N1, *Insight1;
    QAction *ImportA1, *ArchiveA1;  // the log archive's two commands

    // Tabs, sub-tabs and third-level tabs.
    PageControl *PageControl1, *PageControl4, *PageControl3, *PageControl2, *PageControl7;
    PageControl *PageControl5, *PageControl6, *POST403;

    // The twenty result panes.
    PaneView *NamaLog, *Memo8, *Memo9, *HOST404Memo, *HOST403Memo, *Memo2, *CheckDomeinMemo;
    PaneView *Memo7, *File404Memo, *File403Memo, *Memo10, *Memo4, *Memo6, *POST404Memo;
    PaneView *POST403Memo, *Memo11, *Memo5, *ReferrerList, *ReferrerLog, *RobotsLog;

    // The summary fields and the controls of the tab "カウント".
    FieldEdit *Edit1, *Edit2, *Edit3, *Edit4, *Edit5, *Edit6, *Edit7, *Edit8, *Edit9, *Edit10;
    FieldEdit *Edit11, *Edit12, *Edit13, *Edit14, *Edit15, *Edit16, *Edit17, *Edit18, *Edit19;
    FieldEdit *Edit20, *Edit21, *Edit22, *Edit23, *Edit24, *Edit25, *Edit26, *Edit27, *Edit28;
    FieldEdit *Edit29, *Edit30, *Edit31, *Edit32, *Edit33, *Edit34, *Edit35;
    UnitBox* byteName;
    QPushButton *Button1, *Button2, *InsightButton;
    QGroupBox *GroupBox1, *GroupBox2, *GroupBox3, *GroupBox4, *GroupBox5, *GroupBox6, *GroupBox7,
        *GroupBox8;

    // The graph surfaces.
    GraphImage *Image1, *Image2, *Image3;
    // Above the referrer pane: the offer of the likely own domain.
    OwnDomainBar* OwnDomainOffer;
    // Above the raw-log pane: what it shows while narrowed to a row.
    NarrowingBar* NamaLogBar;

    // What a run touches.
    Pane& GetPane(PaneId pane) override;
    Field& GetField(FieldId field) override;
    UnitSelector& ByteName() override;
    ProgressDisplay& Progress() override;
    HourGraph& Graph(GraphId graph) override;
    int& LastByteUnit() override { return m_lastByteUnit; }

    // Commands; each shows its own failure in the error box.
    void OpenO1Click();
    void Button1Click();
    void FTP1Click();
    void Button2Click();
    // Reads the logs of the last run again (they may have grown, the lists
    // may have changed) and analyses them; says so when there was no run yet.
    void ReanalyseR1Click();
    // "ログをアーカイブに取り込む…": log files and a site, then the import.
    void ImportA1Click();
    // "アーカイブを開く…": a site and a period, then its days analysed as logs.
    void ArchiveA1Click();
    // Analyses the days of site's archive in period as several logs (says so
    // when it keeps none of them); the title names the site and the period.
    void OpenArchive(const std::string& site, DayRange period);
    // Saves the HTML report of the results shown, or says there are none yet.
    void SaveS1Click();
    void ExitE1Click();
    void N3Click();
    void UTF81Click();
    // Shows the アクセス解析 window with the last run.
    void Insight1Click();
    void N1Click();
    void byteNameChange();

    // The operations a run calls.
    void MemoFree();
    void MessageToMemo();
    void Image1Ready();
    void Image2Ready();
    void Image3Ready();
    // Analyses the log files at paths as one log, in their order; failures
    // propagate to the caller.  The title names the (first) file after a
    // run, and is the application's after a failed one.
    void LogCounting(const std::vector<std::string>& paths);
    // The typed results of the last run; none before a run or after a failed one.
    std::shared_ptr<const RunResult> LastRun() const { return m_lastRun; }
    void LogCounting(const std::string& path) { LogCounting(std::vector<std::string>{path}); }
    // Analyses the last run's lines again, without reading the files, keeping
    // those filter passes (nothing set: every line).  A filter that keeps no
    // line is said in a box, and the results shown stay; other failures
    // propagate.  The title says what is applied.
    void ApplyFilter(const LineFilter& filter);
    // The filter bar's choice as a filter, the excluded hosts read from the
    // lists' ExcludeHosts.dat (an empty list is said in a box: nothing).
    std::optional<LineFilter> FilterOf(const FilterChoice& choice) const;

    // Shows the 生ログ tab with only the lines of row of the last run's
    // insight (what: the row as the bar names it), found in the background
    // for a large log.
    void NarrowLog(const InsightRow& row, const QString& what);
    // Shows every line of the raw-log pane again.
    void ShowAllLines();
    LogNarrowing& Narrowing() { return *m_narrowing; }

    // Where the open commands, dropped files, the recent files and the
    // command line lead: the paths are analysed as one log, in their order,
    // and remembered as one entry among the recent files.  Failures go to
    // the error box.
    void OpenLogs(const std::vector<std::string>& paths);
    // Says once, in a box, that a log shown has shrunk on disk since it was
    // read (its vanished bytes read as zeros): checked after every run and
    // every two seconds.
    void SayIfLogShrank();
    // Says once for each log (of paths, read as formats) that its first lines
    // match no format it knows, so it was read as combined.
    void SayIfFormatUnknown(const std::vector<std::string>& paths,
                            const std::vector<std::optional<LogFormat>>& formats);

    // The commands on panes (menu "編集(&E)", context menus) and the recent files.
    PaneCommands& Commands() { return *m_paneCommands; }
    RecentFilesMenu& RecentFiles() { return *m_recentFiles; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildMenu();
    void BuildPages();
    struct LogTab;
    void BuildCountPage();
    void BuildLogTab(const LogTab& tab);
    void BuildLogTabs();
    void BuildReferrerTab();
    // Hands the live panes' waiting rows to their views.
    void FlushPaneRows();
    // While no log is loaded the empty panes say how to open one.
    void ShowOpeningHint(bool shown);
    // The run that run() makes of the logs at paths takes the window's place
    // of the last one.
    void Analyse(const std::vector<std::string>& paths, const std::function<RunResult()>& run);
    // LogCounting, the title naming the logs as name (UTF-8).
    void AnalyseFiles(const std::vector<std::string>& paths, const std::string& name);
    // The raw-log pane shows a converted log's lines as its file has them.
    void ShowFileLines();
    // The title: the (first) log's name and the filter applied.
    void ShowTitle();

    std::array<PaneView*, kPaneCount> m_panes{};
    std::array<FieldEdit*, kFieldCount> m_fields{};
    std::array<HourGraph, kGraphCount> m_graphs;
    PaneCommands* m_paneCommands = nullptr;
    RecentFilesMenu* m_recentFiles = nullptr;
    int m_lastByteUnit = kNoUnitYet;
    std::vector<std::string> m_analysedPaths;  // of the results shown, as given to the run
    std::vector<std::string> m_runPaths;       // of the last run, ended or not; absolute
    std::shared_ptr<const RunResult> m_lastRun;
    LogNarrowing* m_narrowing = nullptr;
    QString m_narrowedTo;                       // the row the bar names
    std::size_t m_shrinksSaid;                  // VanishedFileBytes() when last said
    std::set<std::string> m_formatUnknownSaid;  // absolute paths of logs said so of
    std::string m_runName;                      // how the title names the logs (UTF-8)
    // The raw-log pane's lines as the files have them, when a log of the
    // last run read from files was converted (LTSV, W3C…); null otherwise.
    std::shared_ptr<const FileLines> m_fileLines;
};

// The main window of the process.
extern TForm1* Form1;

}  // namespace pomurina
