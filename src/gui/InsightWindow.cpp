#include "InsightWindow.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QSplitter>
#include <QStackedWidget>
#include <QTableView>
#include <QVBoxLayout>

#include "ErrorBox.h"
#include "Errors.h"
#include "ListManagerWindow.h"
#include "MainWindow.h"
#include "SaveDialog.h"
#include "SjisQt.h"
#include "WindowKit.h"
#include "insight/CalendarDay.h"
#include "io/DataFolder.h"
#include "io/FileReplacement.h"
#include "lists/WindowSettings.h"
#include "report/InsightCsv.h"
#include "text/Cp932.h"
#include "widgets/DayGraph.h"
#include "widgets/FilterBar.h"
#include "widgets/InsightModels.h"
#include "widgets/ShareDelegate.h"
#include "window/TransferUnits.h"

namespace pomurina {

TInsight* InsightForm = nullptr;

namespace {

constexpr std::string_view kSizeSetting = "InsightWindowSize";
constexpr std::string_view kSplitSetting = "InsightWindowSplit";
constexpr std::string_view kAfterRunSetting = "InsightAfterRun";

WindowSettings Settings() {
    return WindowSettings(DataFolder() + "/materia/window.ini");
}

// "a,b,…" as whole numbers; empty when any isn't one.
std::vector<int> NumbersOf(const std::optional<std::string>& text) {
    std::vector<int> numbers;
    if (!text) return numbers;
    for (const QString& part : QString::fromStdString(*text).split(',')) {
        bool ok = false;
        const int value = part.toInt(&ok);
        if (!ok || value < 0 || value > 100000) return {};
        numbers.push_back(value);
    }
    return numbers;
}

std::string TextOf(const std::vector<int>& numbers) {
    std::string text;
    for (const int n : numbers) text += (text.empty() ? "" : ",") + std::to_string(n);
    return text;
}

// The pages: caption and the tables shown on it (one, or two side by side).
struct TablePage {
    const char* caption;
    std::vector<const char*> keys;
};
const std::vector<TablePage>& TablePages() {
    static const std::vector<TablePage> pages = {
        {"日別", {"days"}},
        {"曜日", {"weekdays"}},
        {"ページ", {"pages"}},
        {"入口/出口", {"entries", "exits"}},
        {"見つからないページ", {"not_found"}},
        {"ステータス", {"status_codes"}},
        {"参照元サイト", {"referring_sites"}},
        {"検索語句", {"search_phrases", "search_engines"}},
        {"ブラウザ", {"browsers"}},
        {"OS", {"operating_systems"}},
        {"端末", {"devices"}},
        {"ロボット", {"robots"}},
        {"ホスト", {"hosts"}},
        {"バーチャルホスト", {"vhosts"}},
        {"滞在時間", {"visit_durations"}},
    };
    return pages;
}

// The transfer volume in the unit box's unit, as the main window writes it.
QString VolumeText(std::int64_t bytes, int unit) {
    static constexpr double kPerUnit[] = {1.0, 1024.0, 1048576.0, 1073741824.0};
    const int u = unit >= 0 && unit < 4 ? unit : 0;
    const double value = static_cast<double>(bytes) / kPerUnit[u];
    const QLocale locale(QLocale::Japanese, QLocale::Japan);
    const QString number =
        u == 0 ? locale.toString(static_cast<qlonglong>(bytes)) : locale.toString(value, 'f', 1);
    return number + ' ' + QString::fromLatin1(UnitName(u));
}

// The selected rows of view as lines of tab-separated cells.
QString SelectedText(const QTableView& view) {
    QString text;
    const auto* model = view.model();
    QModelIndexList rows = view.selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end(),
              [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    for (const QModelIndex& row : rows) {
        for (int c = 0; c < model->columnCount(); ++c) {
            if (c > 0) text += '\t';
            text += model->index(row.row(), c).data().toString();
        }
        text += '\n';
    }
    return text;
}

}  // namespace

TInsight::TInsight(QWidget* parent)
    : QWidget(parent, Qt::Window),
      PageList(new QListWidget),
      Pages(new QStackedWidget),
      FindText(new QLineEdit),
      Filter(new FilterBar([this] { ApplyFilterChoice(); },
                           [] {
                               if (Form1) Form1->ApplyFilter({});
                           })),
      m_state(new QStackedWidget),
      m_emptyText(new QLabel),
      m_period(new QLabel),
      m_findStatus(new QLabel),
      m_graph(new DayGraph),
      m_splitter(new QSplitter(Qt::Vertical)),
      m_afterRun(new QCheckBox(FromUtf8("解析の後に開く"))) {
    setObjectName(QStringLiteral("Insight"));
    setWindowTitle(FromUtf8("アクセス解析"));
    setMinimumSize(760, 540);  // the figures and a table with its columns still fit
    auto* outer = new QVBoxLayout(this);
    outer->addWidget(Filter);
    outer->addWidget(m_state, 1);

    m_emptyText->setObjectName(QStringLiteral("EmptyText"));
    m_emptyText->setAlignment(Qt::AlignCenter);
    m_emptyText->setTextFormat(Qt::PlainText);
    m_emptyText->setWordWrap(true);
    m_state->addWidget(m_emptyText);

    auto* contents = new QWidget;
    auto* layout = new QVBoxLayout(contents);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* figures = new QHBoxLayout;
    figures->setSpacing(28);
    for (const char* caption : {"ヒット", "ページ", "訪問者", "訪問", "転送量", "ロボット", "AI"}) {
        auto* box = new QVBoxLayout;
        auto* name = new QLabel(FromUtf8(caption));
        auto* figure = new QLabel;
        QFont big = figure->font();
        // The window font may be sized in pixels or in points.
        if (big.pixelSize() > 0)
            big.setPixelSize(big.pixelSize() * 9 / 5);
        else
            big.setPointSizeF(big.pointSizeF() * 1.8);
        big.setBold(true);
        figure->setFont(big);
        box->setSpacing(0);
        name->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
        figure->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
        box->addWidget(name);
        box->addWidget(figure);
        figures->addLayout(box);
        m_figures.push_back(figure);
    }
    figures->addStretch();
    layout->addLayout(figures);
    auto* periodRow = new QHBoxLayout;
    m_period->setObjectName(QStringLiteral("Period"));
    periodRow->addWidget(m_period, 1);
    FindText->setObjectName(QStringLiteral("FindText"));
    FindText->setPlaceholderText(FromUtf8("検索 (Ctrl+F)"));
    FindText->setClearButtonEnabled(true);
    FindText->setMaximumWidth(240);
    m_findStatus->setTextFormat(Qt::PlainText);
    periodRow->addWidget(m_findStatus);
    periodRow->addWidget(FindText);
    m_afterRun->setObjectName(QStringLiteral("AfterRun"));
    periodRow->addWidget(m_afterRun);
    auto* csv = new QPushButton(FromUtf8("CSVに保存(&S)"));
    csv->setObjectName(QStringLiteral("SaveCsv"));
    periodRow->addWidget(csv);
    layout->addLayout(periodRow);

    auto* tables = new QWidget;
    auto* tableRow = new QHBoxLayout(tables);
    tableRow->setContentsMargins(0, 0, 0, 0);
    PageList->setObjectName(QStringLiteral("PageList"));
    tableRow->addWidget(PageList);
    tableRow->addWidget(Pages, 1);
    m_splitter->addWidget(m_graph);
    m_splitter->addWidget(tables);
    m_splitter->setStretchFactor(1, 1);
    layout->addWidget(m_splitter, 1);
    m_state->addWidget(contents);
    BuildPages();

    connect(PageList, &QListWidget::currentRowChanged, Pages, &QStackedWidget::setCurrentIndex);
    connect(FindText, &QLineEdit::returnPressed, this,
            [this] { Guarded([this] { FindNextClick(); }); });
    connect(FindText, &QLineEdit::textChanged, m_findStatus, &QLabel::clear);
    auto* find = new QAction(this);
    find->setShortcut(QKeySequence::Find);
    addAction(find);
    connect(find, &QAction::triggered, this, [this] {
        FindText->setFocus();
        FindText->selectAll();
    });
    connect(csv, &QPushButton::clicked, this, [this] { Guarded([this] { SaveCsvClick(); }); });
    connect(m_afterRun, &QCheckBox::toggled, this,
            [](bool on) { Guarded([on] { Settings().Set(kAfterRunSetting, on ? "1" : "0"); }); });

    const WindowSettings settings = Settings();
    m_afterRun->setChecked(settings.Get(kAfterRunSetting).value_or("1") != "0");
    const std::vector<int> size = NumbersOf(settings.Get(kSizeSetting));
    resize(size.size() == 2 ? QSize(size[0], size[1]) : QSize(1100, 760));
    const std::vector<int> split = NumbersOf(settings.Get(kSplitSetting));
    if (split.size() == 2)
        m_splitter->setSizes({split[0], split[1]});
    else
        m_splitter->setSizes({240, 480});
    ShowRun(nullptr, 0);
}

TInsight::~TInsight() = default;

void TInsight::BuildPages() {
    for (const TablePage& listed : TablePages()) {
        PageList->addItem(FromUtf8(listed.caption));
        auto* page = new QWidget;
        auto* row = new QHBoxLayout(page);
        row->setContentsMargins(0, 0, 0, 0);
        for (const char* key : listed.keys) row->addWidget(AddView(page, key));
        Pages->addWidget(page);
    }
    PageList->setCurrentRow(0);
    PageList->setFixedWidth(PageList->sizeHintForColumn(0) + 24);
}

QTableView* TInsight::AddView(QWidget* page, const char* key) {
    auto* view = new QTableView(page);
    view->setObjectName(QString::fromLatin1(key));
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setItemDelegate(new ShareDelegate(view));
    view->verticalHeader()->hide();
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 6);
    view->horizontalHeader()->setStretchLastSection(false);
    view->setWordWrap(false);
    view->setContextMenuPolicy(Qt::CustomContextMenu);
    auto* menu = new QMenu(view);
    AddCommand(menu, "CopyRows", "コピー(&C)", QKeySequence::Copy,
               [view] { QApplication::clipboard()->setText(SelectedText(*view)); });
    AddCommand(menu, "SelectAllRows", "すべて選択(&A)", QKeySequence::SelectAll,
               [view] { view->selectAll(); });
    // Ctrl+F belongs to the window (see the constructor): one key, one command.
    AddCommand(menu, "FindInTable", "検索(&F)", {}, [this] {
        FindText->setFocus();
        FindText->selectAll();
    });
    AddCommand(menu, "SaveTableCsv", "CSVに保存(&S)", {}, [this, view] {
        Pages->setCurrentWidget(view->parentWidget());
        SaveCsvClick();
    });
    if (std::string_view(key) == "days")
        AddCommand(menu, "FilterToDays", "選んだ日に絞り込む(&P)", {},
                   [this, view] { FilterToSelectedDays(*view); });
    if (std::string_view(key) == "hosts")
        AddCommand(menu, "ExcludeHost", "このホストを除外リストに追加(&X)", {},
                   [view] { OfferExcludedHost(*view); });
    view->addActions(menu->actions());
    for (QAction* action : menu->actions()) action->setShortcutContext(Qt::WidgetShortcut);
    connect(view, &QWidget::customContextMenuRequested, menu,
            [menu, view](const QPoint& at) { menu->popup(view->viewport()->mapToGlobal(at)); });
    connect(view, &QTableView::doubleClicked, this, [this, key](const QModelIndex& index) {
        Guarded([&] { RowDoubleClick(key, index.row()); });
    });
    m_views.emplace_back(key, view);
    return view;
}

void TInsight::OfferExcludedHost(const QTableView& view) {
    const QModelIndex current = view.currentIndex();
    if (!current.isValid() || !Domein) return;
    Domein->OfferExcludedHost(current.siblingAtColumn(0).data().toString());
    ShowNonModal(Domein);
}

QTableView* TInsight::View(const char* key) const {
    for (const auto& [name, view] : m_views)
        if (std::string_view(name) == key) return view;
    return nullptr;
}

bool TInsight::OpensAfterRun() {
    return Settings().Get(kAfterRunSetting).value_or("1") != "0";
}

void TInsight::FilterToSelectedDays(const QTableView& view) {
    const InsightModels* models = Models();
    InsightTableModel* model = models ? models->Find("days") : nullptr;
    if (!model || !view.selectionModel()) return;
    std::optional<DayRange> period;
    for (const QModelIndex& row : view.selectionModel()->selectedRows()) {
        const std::int32_t day = models->Data().days[model->SourceRow(row.row())].day;
        period = period ? DayRange{std::min(period->first, day), std::max(period->last, day)}
                        : DayRange{day, day};
    }
    if (!period) return;
    Filter->SetPeriod(*period);
    ApplyFilterChoice();
}

void TInsight::ApplyFilterChoice() {
    if (!Form1) return;
    if (const auto filter = Form1->FilterOf(Filter->Choice())) Form1->ApplyFilter(*filter);
}

void TInsight::ShowRun(std::shared_ptr<const RunResult> run, int byteUnit) {
    m_run = std::move(run);
    // The bar and the title say what the run kept.
    Filter->setEnabled(m_run != nullptr);
    const std::string applied = m_run ? m_run->filter.Description() : std::string();
    if (m_run) {
        std::vector<std::string> vhosts;
        if (m_run->insight)
            for (const VirtualHostRow& row : m_run->insight->vhosts) vhosts.push_back(row.vhost);
        // A filtered run's table holds the hosts kept: the list stays the whole log's.
        if (!m_run->filter.IsSet()) Filter->SetVirtualHosts(vhosts);
        Filter->ShowApplied(m_run->filter);
    }
    setWindowTitle(FromUtf8("アクセス解析") +
                   (applied.empty() ? QString() : QString::fromStdString("（" + applied + "）")));
    m_byteUnit = byteUnit;
    m_filled = false;
    for (const auto& [key, view] : m_views) view->setModel(nullptr);
    m_graph->SetDays(nullptr);
    m_models.reset();
    if (!m_run || !m_run->insight) {
        m_emptyText->setText(
            m_run
                ? FromUtf8("この解析には表がありません。ユーザーエージェントと検索エンジンの"
                           "規則ファイル (materia) を確かめてください。") +
                      (m_run->insightProblem ? "\n" + FromSjis(*m_run->insightProblem) : QString())
                : FromUtf8(
                      "まだ解析していません。ログを開くと、ここにアクセス解析が表示されます。"));
        m_state->setCurrentWidget(m_emptyText);
        return;
    }
    if (isVisible()) Fill();
}

void TInsight::SetByteUnit(int byteUnit) {
    m_byteUnit = byteUnit;
    if (m_filled) FillTotals();
}

const InsightModels* TInsight::Models() {
    if (m_run && m_run->insight && !m_models)
        m_models = std::make_unique<InsightModels>(m_run->insight);
    return m_models.get();
}

void TInsight::Fill() {
    if (m_filled || !Models()) return;
    m_filled = true;
    for (std::size_t page = 0; page < TablePages().size(); ++page) {
        // A table the run has no rows of (the virtual hosts of a one-site log) has no page.
        const char* first = TablePages()[page].keys.front();
        PageList->item(static_cast<int>(page))->setHidden(m_models->Find(first) == nullptr);
    }
    for (const auto& [key, view] : m_views) {
        InsightTableModel* model = m_models->Find(key);
        view->setModel(model);
        if (!model) continue;
        // The insight's own order first; a click on a header sorts by it.
        view->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
        view->setSortingEnabled(true);
        if (std::string_view(key) == "entries" || std::string_view(key) == "exits")
            view->sortByColumn(1, Qt::DescendingOrder);
        view->resizeColumnsToContents();
        // Paths, hosts and names get room; the share room for its bar.
        const std::string_view first = model->Table().columns.front().key;
        if (first == "path" || first == "host" || first == "name" || first == "phrase")
            view->setColumnWidth(0, std::clamp(view->columnWidth(0), 360, 520));
        if (model->ShareColumn() >= 0)
            view->setColumnWidth(model->ShareColumn(),
                                 std::max(view->columnWidth(model->ShareColumn()), 110));
    }
    m_graph->SetDays(&m_models->Data().days);
    FillTotals();
    m_state->setCurrentIndex(1);
}

void TInsight::FillTotals() {
    const InsightTotals& t = m_models->Data().totals;
    const QLocale locale(QLocale::Japanese, QLocale::Japan);
    const std::int64_t counts[] = {t.hits, t.pages, t.visitors, t.visits, 0, t.robotHits, t.aiHits};
    for (std::size_t k = 0; k < m_figures.size(); ++k)
        m_figures[k]->setText(k == 4 ? VolumeText(t.bytes, m_byteUnit)
                                     : locale.toString(static_cast<qlonglong>(counts[k])));
    if (t.firstDay && t.lastDay)
        m_period->setText(FromUtf8("期間: ") + QString::fromStdString(DayText(*t.firstDay)) +
                          FromUtf8(" 〜 ") + QString::fromStdString(DayText(*t.lastDay)) +
                          FromUtf8("（") + QString::number(*t.lastDay - *t.firstDay + 1) +
                          FromUtf8("日間）"));
    else
        m_period->setText(FromUtf8("期間: 日付のある行がありません"));
}

QTableView* TInsight::CurrentView() const {
    const auto* page = Pages->currentWidget();
    if (!page) return nullptr;
    // The table with the focus, or the page's first.
    for (QTableView* view : page->findChildren<QTableView*>())
        if (view->hasFocus()) return view;
    return page->findChild<QTableView*>();
}

void TInsight::FindNextClick() {
    QTableView* view = CurrentView();
    auto* model = view ? dynamic_cast<InsightTableModel*>(view->model()) : nullptr;
    if (!model) return;
    const QModelIndex current = view->currentIndex();
    const auto row = model->FindRow(FindText->text(), current.isValid() ? current.row() : -1);
    if (!row) {
        m_findStatus->setText(FindText->text().isEmpty() ? QString() : FromUtf8("見つかりません"));
        return;
    }
    m_findStatus->clear();
    view->selectRow(*row);
    view->scrollTo(model->index(*row, 0));
}

void TInsight::RowDoubleClick(const char* key, int row) {
    const InsightModels* models = Models();
    InsightTableModel* model = models ? models->Find(key) : nullptr;
    if (!model || row < 0 || row >= model->rowCount() || !Form1) return;
    const std::size_t sourceRow = model->SourceRow(row);
    const auto named = InsightRowOf(models->Data(), key, sourceRow);
    if (!named) return;
    Form1->NarrowLog(*named, InsightCellText(model->Table().cell(sourceRow, 0)));
}

void TInsight::SaveCsvClick() {
    QTableView* view = CurrentView();
    auto* model = view ? dynamic_cast<InsightTableModel*>(view->model()) : nullptr;
    if (!model) return;
    const auto chosen = ChooseCsvFile(this, std::string(model->Table().key) + ".csv");
    if (!chosen) return;
    // The rows as the view shows them, sorted or not.
    InsightTable shown = model->Table();
    shown.cell = [model](std::size_t r, std::size_t c) {
        return model->Table().cell(model->SourceRow(static_cast<int>(r)), c);
    };
    const CsvFile file = InsightCsvFile(shown);
    FileReplacement replacement(*chosen);
    int error = replacement.Open();
    if (error == 0) error = replacement.Write(file.bytes);
    if (error == 0) error = replacement.Commit();
    if (error != 0) throw FileCreateFailure(*chosen, error);
}

void TInsight::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    Guarded([this] { Fill(); });
}

void TInsight::closeEvent(QCloseEvent* event) {
    Guarded([this] { SaveSettings(); });
    QWidget::closeEvent(event);
}

void TInsight::SaveSettings() {
    WindowSettings settings = Settings();
    const std::string size = TextOf({width(), height()});
    if (settings.Get(kSizeSetting) != size) settings.Set(kSizeSetting, size);
    const QList<int> sizes = m_splitter->sizes();
    const std::string split = TextOf(std::vector<int>(sizes.begin(), sizes.end()));
    if (settings.Get(kSplitSetting) != split) settings.Set(kSplitSetting, split);
}

}  // namespace pomurina
