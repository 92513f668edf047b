#include "MainWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QMenuBar>
#include <QTimer>
#include <ctime>
#include <filesystem>

#include "AboutWindow.h"
#include "ArchiveDialogs.h"
#include "DecoderWindow.h"
#include "ErrorBox.h"
#include "FtpWindow.h"
#include "InsightWindow.h"
#include "ListManagerWindow.h"
#include "LogDrop.h"
#include "LogNarrowing.h"
#include "NarrowingBar.h"
#include "OpenDialog.h"
#include "OwnDomainBar.h"
#include "PaneCommands.h"
#include "ProgressWindow.h"
#include "RecentFilesMenu.h"
#include "SaveDialog.h"
#include "SjisQt.h"
#include "WindowKit.h"
#include "analysis/LogCounting.h"
#include "analysis/OwnDomainGuess.h"
#include "archive/ArchiveLayout.h"
#include "archive/FetchedLogs.h"
#include "filter/HostListFile.h"
#include "filter/LineSelector.h"
#include "formats/LogFormat.h"
#include "insight/AgentRules.h"
#include "insight/CalendarDay.h"
#include "io/DataFolder.h"
#include "io/FileIo.h"
#include "io/LogFiles.h"
#include "report/ReportFile.h"
#include "text/Cp932.h"
#include "text/MappedBytes.h"
#include "text/SelectedLines.h"
#include "widgets/FieldEdit.h"
#include "widgets/FilterBar.h"
#include "widgets/GraphImage.h"
#include "widgets/PageControl.h"
#include "widgets/PaneView.h"
#include "widgets/UnitBox.h"
#include "window/FileLines.h"
#include "window/MemoPanes.h"
#include "window/TransferUnits.h"

namespace pomurina {

TForm1* Form1 = nullptr;

namespace {

// For the length of a run: the panes hand their new rows to their views in
// batches, at every refresh of the progress window and once at the end.
class RowBatches {
public:
    RowBatches(const std::array<PaneView*, kPaneCount>& panes, TForm2* progress,
               std::function<void()> flush)
        : m_panes(panes), m_progress(progress) {
        for (PaneView* pane : m_panes) pane->SetBatching(true);
        if (m_progress) m_progress->SetRefreshHook(std::move(flush));
    }
    ~RowBatches() {
        if (m_progress) m_progress->SetRefreshHook(nullptr);
        for (PaneView* pane : m_panes) pane->SetBatching(false);
    }
    RowBatches(const RowBatches&) = delete;
    RowBatches& operator=(const RowBatches&) = delete;

private:
    const std::array<PaneView*, kPaneCount>& m_panes;
    TForm2* m_progress;
};

// The log's path with ".html" in place of its extension: the report's first offer.
RunPlaces Places() {
    return RunPlaces{DataFolder(), "materia"};
}

std::string SuggestedReportPath(const std::string& log) {
    const std::size_t name = log.rfind('/') + 1;  // 0 without a folder
    const std::size_t dot = log.rfind('.');
    const bool extension = dot != std::string::npos && dot > name;
    return (extension ? log.substr(0, dot) : log) + ".html";
}

}  // namespace

TForm1::TForm1(QWidget* parent) : QMainWindow(parent), m_shrinksSaid(VanishedFileBytes()) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QString::fromUtf8("ポムリナ"));
    setWindowIcon(ProgramIcon());
    BuildMenu();
    BuildPages();
    m_graphs = {HourGraph(Image1), HourGraph(Image2), HourGraph(Image3)};
    m_paneCommands = new PaneCommands(*this, m_panes, N2->menuAction());
    m_recentFiles =
        new RecentFilesMenu(*File1, ExitE1, RecentFilesPath(),
                            [this](const std::vector<std::string>& paths) { OpenLogs(paths); });
    new LogDrop(*this, [this](const std::vector<std::string>& paths) { OpenLogs(paths); });
    m_narrowing = new LogNarrowing(
        [this](SharedLineSource lines) {
            // A converted log's pane shows its file's lines: the same lines there.
            const auto* found = dynamic_cast<const SelectedLines*>(lines.get());
            if (m_fileLines && found && !m_lastRun->filter.IsSet()) {
                std::vector<std::size_t> shown(found->Count());
                for (std::size_t i = 0; i < shown.size(); ++i)
                    shown[i] = m_fileLines->ShownLine(found->SourceIndex(i));
                lines = std::make_shared<SelectedLines>(m_fileLines, std::move(shown));
            }
            NamaLog->Model().ShowOnly(lines);
            NamaLogBar->ShowFound(m_narrowedTo, lines->Count());
        },
        this);
    Edit35->SetShowsEnd(true);
    ShowOpeningHint(true);
    auto* shrinkCheck = new QTimer(this);
    connect(shrinkCheck, &QTimer::timeout, this, [this] { Guarded([this] { SayIfLogShrank(); }); });
    shrinkCheck->start(2000);
    // A client area of 454 x 437 below the menu; at least 307 x 406 (outer 315 x 460).
    const int menuHeight = menuBar()->sizeHint().height();
    resize(454, 437 + menuHeight);
    setMinimumSize(307, 406 + menuHeight);
    move(265, 212);
}

Pane& TForm1::GetPane(PaneId pane) {
    return *m_panes[static_cast<std::size_t>(pane)];
}
Field& TForm1::GetField(FieldId field) {
    return *m_fields[static_cast<std::size_t>(field)];
}
UnitSelector& TForm1::ByteName() {
    return *byteName;
}
HourGraph& TForm1::Graph(GraphId graph) {
    return m_graphs[static_cast<std::size_t>(graph)];
}

ProgressDisplay& TForm1::Progress() {
    if (!Form2) throw Error(Utf8ToCp932("進行状況ウィンドウがありません"));
    return *Form2;
}

void TForm1::OpenO1Click() {
    Guarded([this] { OpenLogs(ChooseLogFiles(this)); });
}

void TForm1::Button1Click() {
    OpenO1Click();
}
void TForm1::ReanalyseR1Click() {
    Guarded([this] {
        if (m_runPaths.empty()) {
            ShowInformation(
                Utf8ToCp932("再解析するログがありません。先にログを読み込んでください。"));
            return;
        }
        const std::vector<std::string> paths = m_runPaths;
        // The files may have changed: read whole, then filtered again as before.
        const LineFilter filter = m_lastRun ? m_lastRun->filter : LineFilter{};
        LogCounting(paths);
        if (filter.IsSet()) ApplyFilter(filter);
    });
}

void TForm1::FTP1Click() {
    Guarded([] { ShowNonModal(FTP); });
}
void TForm1::Button2Click() {
    FTP1Click();
}
void TForm1::SaveS1Click() {
    Guarded([this] {
        if (!m_lastRun || m_analysedPaths.empty()) {
            ShowInformation(
                Utf8ToCp932("保存できる集計結果がありません。先にログを読み込んでください。"));
            return;
        }
        std::vector<std::string> logs;
        for (const std::string& path : m_analysedPaths) logs.push_back(FullPath(path));
        if (const auto path = ChooseReportFile(this, SuggestedReportPath(logs.front())))
            SaveHtmlReport(*this, ReportSource{logs, std::time(nullptr), std::nullopt, m_lastRun},
                           *path);
    });
}
void TForm1::ExitE1Click() {
    Guarded([this] { close(); });
}
void TForm1::N3Click() {
    Guarded([] { ShowNonModal(Domein); });
}
void TForm1::UTF81Click() {
    Guarded([] { ShowNonModal(UTF); });
}
void TForm1::Insight1Click() {
    Guarded([] {
        if (InsightForm) ShowNonModal(InsightForm);
    });
}
void TForm1::N1Click() {
    Guarded([] { ShowNonModal(VersionINFO); });
}
void TForm1::byteNameChange() {
    Guarded([this] {
        ChangeByteUnit(*this);
        if (InsightForm) InsightForm->SetByteUnit(LastByteUnit());
    });
}

void TForm1::MemoFree() {
    pomurina::MemoFree(*this);
}
void TForm1::MessageToMemo() {
    pomurina::MessageToMemo(*this);
}
void TForm1::Image1Ready() {
    Graph(GraphId::Connections).DrawGrid();
}
void TForm1::Image2Ready() {
    Graph(GraphId::GetRequests).DrawGrid();
}
void TForm1::Image3Ready() {
    Graph(GraphId::PostReceptions).DrawGrid();
}

void TForm1::LogCounting(const std::vector<std::string>& paths) {
    const std::string name = std::filesystem::path(paths.front()).filename().string();
    AnalyseFiles(paths, Cp932ToUtf8(PathText(name) + MoreLogsText(paths.size())));
}

void TForm1::AnalyseFiles(const std::vector<std::string>& paths, const std::string& name) {
    m_runName = name;
    m_fileLines.reset();
    ClassifyPlan plan;
    plan.keepOriginals = true;  // kept only for a converted log
    try {
        Analyse(paths, [&] { return pomurina::LogCounting(*this, paths, Places(), plan); });
    } catch (...) {
        // Such a log often fails the rules at its first line: the box before
        // the failure's says why.
        std::vector<std::optional<LogFormat>> formats;
        for (const std::string& path : paths) formats.push_back(FirstLinesFormat(path));
        SayIfFormatUnknown(paths, formats);
        throw;
    }
    SayIfFormatUnknown(paths, {m_lastRun->formats.begin(), m_lastRun->formats.end()});
    if (!m_lastRun->originals.empty()) {
        m_fileLines = std::make_shared<FileLines>(m_lastRun->wholeLog, m_lastRun->originals);
        ShowFileLines();
    }
    // The file field says what a converted log was read as: "a.log 他1ファイル (ltsv, combined)".
    std::string formats;
    bool converted = false;
    for (const LogFormat format : m_lastRun->formats) {
        converted = converted || IsConverted(format);
        formats += (formats.empty() ? "" : ", ") + std::string(LogFormatName(format));
    }
    if (converted) Edit35->SetText(Edit35->Text() + " (" + formats + ")");
    // The filter bar's days are the whole log's, read once here.
    const auto& totals = m_lastRun->insight ? m_lastRun->insight->totals : InsightTotals{};
    if (InsightForm)
        InsightForm->Filter->SetLogDays(
            totals.firstDay && totals.lastDay
                ? std::optional(DayRange{*totals.firstDay, *totals.lastDay})
                : std::nullopt);
}

void TForm1::ApplyFilter(const LineFilter& filter) {
    if (!m_lastRun || !m_lastRun->wholeLog || m_analysedPaths.empty()) {
        ShowInformation(
            Utf8ToCp932("絞り込める集計結果がありません。先にログを読み込んでください。"));
        return;
    }
    const std::shared_ptr<const TextLines> whole = m_lastRun->wholeLog;
    const std::vector<std::string> paths = m_analysedPaths;
    // Chosen before the run, so that a filter keeping nothing leaves the
    // results shown as they are.
    std::vector<std::uint64_t> chosen;
    if (filter.IsSet()) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const AgentRules noRules;
        chosen = SelectLines(*whole, filter,
                             m_lastRun->insightRules ? m_lastRun->insightRules->agents : noRules);
        QApplication::restoreOverrideCursor();
        if (chosen.empty()) {
            ShowInformation(
                Utf8ToCp932("絞り込み（" + filter.Description() +
                            "）に合う行がログにありません。期間や条件を確かめてください。"));
            return;
        }
    }
    Analyse(paths, [&] {
        return pomurina::LogCounting(*this, whole, paths, Places(), {}, filter, std::move(chosen));
    });
}

std::optional<LineFilter> TForm1::FilterOf(const FilterChoice& choice) const {
    LineFilter filter;
    if (choice.period) {
        filter.firstDay = choice.period->first;
        filter.lastDay = choice.period->last;
    }
    filter.humansOnly = choice.humansOnly;
    filter.pathPrefix = choice.pathPrefix;
    filter.statusClasses = choice.statusClasses;
    if (!choice.vhost.empty()) {
        if (!IsVirtualHostName(choice.vhost)) {
            ShowInformation(
                Utf8ToCp932("「" + choice.vhost + "」はバーチャルホストの名前として読めません。"));
            return std::nullopt;
        }
        filter.vhost = choice.vhost;
    }
    if (choice.excludeListedHosts) {
        const std::string path = DataFolder() + "/materia/" + kExcludeHostsFile;
        HostList hosts = LoadHostListFile(path, true);
        if (hosts.Empty()) {
            ShowInformation(
                Utf8ToCp932("除外ホストのリストが空です。設定 > リスト管理 の「除外ホスト」で、"
                            "除きたいホストやアドレスの範囲を登録してください。"));
            return std::nullopt;
        }
        filter.excludedHosts = std::make_shared<const HostList>(std::move(hosts));
        filter.excludedHostFiles.push_back(path);
    }
    return filter;
}

void TForm1::Analyse(const std::vector<std::string>& paths, const std::function<RunResult()>& run) {
    RowBatches batches(m_panes, Form2, [this] { FlushPaneRows(); });
    ShowAllLines();
    m_analysedPaths.clear();
    m_lastRun.reset();
    if (InsightForm) InsightForm->ShowRun(nullptr, LastByteUnit());
    m_runPaths.clear();
    for (const std::string& path : paths) m_runPaths.push_back(AbsolutePath(path));
    ShowOpeningHint(false);
    OwnDomainOffer->Offer({});
    try {
        m_lastRun = std::make_shared<const RunResult>(run());
    } catch (...) {
        // The panes no longer hold a whole analysis of any file.
        setWindowTitle(FromUtf8("ポムリナ"));
        ShowOpeningHint(true);
        throw;
    }
    m_analysedPaths = paths;
    // The analysis window takes the run; its tables are made only when shown.
    if (InsightForm) {
        InsightForm->ShowRun(m_lastRun, LastByteUnit());
        if (!Headless() && TInsight::OpensAfterRun()) ShowNonModal(InsightForm);
    }
    // Without a screen nobody sees the offer: its guess isn't made.
    if (!Headless()) OwnDomainOffer->Offer(OwnDomainGuess(*m_lastRun));
    if (!m_lastRun->filter.IsSet()) ShowFileLines();
    ShowTitle();
    SayIfLogShrank();
}

void TForm1::ShowFileLines() {
    if (!m_fileLines) return;
    GetPane(PaneId::NamaLog).ReplaceAll(m_fileLines);
    FlushPaneRows();
}

void TForm1::SayIfLogShrank() {
    const std::size_t shrinks = VanishedFileBytes();
    if (shrinks == m_shrinksSaid) return;
    m_shrinksSaid = shrinks;
    ShowInformation(Utf8ToCp932(
        "読み込んだログファイルが、読み込みの後にディスク上で短くなりました（ログの切り替えや"
        "ほかのプログラムによる変更）。消えた部分は空の行として表示しています。"
        "ファイル > 再解析 (F5) で、いまのファイルの内容を解析し直してください。"));
}

void TForm1::SayIfFormatUnknown(const std::vector<std::string>& paths,
                                const std::vector<std::optional<LogFormat>>& formats) {
    std::string names;
    for (std::size_t i = 0; i < paths.size() && i < formats.size(); ++i) {
        if (formats[i] != LogFormat::Unknown) continue;
        const std::string path = AbsolutePath(paths[i]);
        // Said once; and an empty log (read only now, once) has no first line to match.
        if (m_formatUnknownSaid.contains(path) || !FirstLinesFormat(paths[i])) continue;
        m_formatUnknownSaid.insert(path);
        const std::string name = std::filesystem::path(paths[i]).filename().string();
        names += (names.empty() ? "" : "、") + Cp932ToUtf8("\"" + PathText(name) + "\"");
    }
    if (names.empty()) return;
    ShowInformation(
        Utf8ToCp932("ログ " + names +
                    " の先頭の行は、読める形式（combined、common、バーチャルホスト付き、LTSV、W3C、"
                    "CloudFront）のどれにも合いません。combined 形式として読みました。"
                    "ログの書式の設定を確かめてください。"));
}

void TForm1::ShowTitle() {
    const std::string applied = m_lastRun->filter.Description();
    setWindowTitle(QString::fromStdString("ポムリナ - " + m_runName +
                                          (applied.empty() ? "" : "（" + applied + "）")));
}

void TForm1::ImportA1Click() {
    Guarded([this] {
        const std::vector<std::string> paths = ChooseLogFiles(this);
        if (paths.empty()) return;
        const std::string server = FTP ? FTP->DomeinEdit->text().trimmed().toStdString() : "";
        if (const auto site = ChooseArchiveSite(this, SiteOfServer(server)))
            ImportIntoArchive(*site, paths);
    });
}

void TForm1::ArchiveA1Click() {
    Guarded([this] {
        if (ArchiveSites(DataFolder()).empty()) {
            ShowInformation(Utf8ToCp932(
                "アーカイブにはまだ何もありません。ファイル > ログをアーカイブに取り込む… か、"
                "FTPマネージャの「アーカイブに取り込む」で、ログを保存してください。"));
            return;
        }
        ArchiveOpenDialog dialog(this);
        if (dialog.exec() == QDialog::Accepted) OpenArchive(dialog.Site(), dialog.Period());
    });
}

void TForm1::OpenArchive(const std::string& site, DayRange period) {
    std::vector<std::string> paths;
    for (const ArchiveDay& day : ArchiveDays(DataFolder(), site, period.first, period.last))
        paths.push_back(day.path);
    if (paths.empty()) {
        ShowInformation(Utf8ToCp932("アーカイブ「" + site + "」には、" + DayText(period.first) +
                                    "〜" + DayText(period.last) + " の日がありません。"));
        return;
    }
    AnalyseFiles(paths, "アーカイブ " + site + "（" + DayText(period.first) + "〜" +
                            DayText(period.last) + "）");
}

void TForm1::OpenLogs(const std::vector<std::string>& given) {
    Guarded([&] {
        if (given.empty()) return;
        std::vector<std::string> paths;
        for (const std::string& path : given) paths.push_back(AbsolutePath(path));
        LogCounting(paths);
        m_recentFiles->Remember(paths);
    });
}

void TForm1::NarrowLog(const InsightRow& row, const QString& what) {
    if (!m_lastRun || !m_lastRun->logLines || !m_lastRun->insightRules) return;
    PageControl1->setCurrentWidget(NamaLogBar->parentWidget()->parentWidget());
    m_narrowedTo = what;
    NamaLogBar->ShowFinding(what);
    m_narrowing->Start(m_lastRun, row);
    if (!Headless()) ShowNonModal(this);
}

void TForm1::ShowAllLines() {
    m_narrowing->Cancel();
    NamaLogBar->hide();
    NamaLog->Model().ShowAll();
}

void TForm1::ShowOpeningHint(bool shown) {
    const QString hint = shown ? FromUtf8(
                                     "ログファイルをここにドロップするか、ファイル > "
                                     "ローカルから読み込み(Ctrl+O) で開いてください")
                               : QString();
    for (PaneView* pane : m_panes) pane->SetPlaceholder(hint);
}

void TForm1::FlushPaneRows() {
    for (PaneView* pane : m_panes) pane->FlushRows();
}

void TForm1::closeEvent(QCloseEvent* event) {
    event->accept();
    // Closing the main window ends the program, whatever other window is open.
    QCoreApplication::quit();
}

}  // namespace pomurina
