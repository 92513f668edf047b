// The main window's controls, placed as its design has them (pixels at 96 dpi).
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "ListManagerWindow.h"
#include "MainWindow.h"
#include "NarrowingBar.h"
#include "OwnDomainBar.h"
#include "WindowKit.h"
#include "widgets/AnchorLayout.h"
#include "widgets/FieldEdit.h"
#include "widgets/GraphImage.h"
#include "widgets/PageControl.h"
#include "widgets/PaneView.h"
#include "widgets/UnitBox.h"

namespace pomurina {
namespace {

// Pages of the top tabs, of the sub-tabs, and the counter box's place.
constexpr QSize kTopPage(444, 402);
constexpr QSize kSubPage(436, 370);

// One labelled field of a group box.
struct FieldRow {
    FieldId field;
    const char* label;
    QPoint labelAt;
    QRect at;
};

QLabel* AddLabel(QWidget* parent, const char* text, QPoint at) {
    auto* label = new QLabel(QString::fromUtf8(text), parent);
    label->move(at);
    label->adjustSize();
    return label;
}

QGroupBox* AddGroup(QWidget* parent, const char* name, const char* caption, QRect at) {
    auto* box = new QGroupBox(QString::fromUtf8(caption), parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setGeometry(at);
    CaptionInFrame(box);
    return box;
}

// The fields of a box, in focus order; returns them in that order.
std::vector<QWidget*> AddRows(QGroupBox* box, const std::vector<FieldRow>& rows,
                              std::array<FieldEdit*, kFieldCount>& fields) {
    std::vector<QWidget*> order;
    for (const FieldRow& row : rows) {
        QLabel* label = AddLabel(box, row.label, row.labelAt);
        // The face that stands in for the design's is a little wider: a
        // label that would run under its field moves left instead.
        const int overlap = label->geometry().right() + 2 - row.at.left();
        if (overlap > 0) label->move(std::max(0, label->x() - overlap), label->y());
        auto* field = new FieldEdit(FieldName(row.field).c_str(), box);
        field->setGeometry(row.at);
        fields[static_cast<std::size_t>(row.field)] = field;
        order.push_back(field);
    }
    return order;
}

void ChainFocus(const std::vector<QWidget*>& widgets) {
    for (std::size_t i = 1; i < widgets.size(); ++i)
        QWidget::setTabOrder(widgets[i - 1], widgets[i]);
}

// A page that a single pane fills.
void PanePage(QWidget* page, PaneView* pane, QSize design) {
    auto* layout = new AnchorLayout(page, design);
    layout->Place(pane, QRect(QPoint(0, 0), design), kAnchorAll);
}

// A "集計" page: its pane above and the counter box in the bottom-left corner.
void SummaryPage(QWidget* page, PaneView* pane, QGroupBox* box,
                 std::array<FieldEdit*, kFieldCount>& fields, const std::array<FieldRow, 5>& rows) {
    auto* layout = new AnchorLayout(page, kSubPage);
    layout->Place(pane, QRect(0, 0, 436, 298), kAnchorAll);
    layout->Place(box, QRect(8, 305, 281, 65), AnchorLeft | AnchorBottom);
    ChainFocus(AddRows(box, {rows.begin(), rows.end()}, fields));
}

// A "グラフ" page: the caption line, the scale marks and the surface.
void GraphPage(QWidget* page, const char* caption, GraphImage* image) {
    AddLabel(page, caption, QPoint(48, 40));
    AddLabel(page, "50%", QPoint(147, 64));
    AddLabel(page, "100%", QPoint(272, 64));
    image->setParent(page);
    image->move(0, 82);
}

// A page that one pane fills, and the pane's member.
struct PanePlace {
    const char* page;
    PaneView* TForm1::*pane;
};

// A "不正常ログ" page: the third-level tabs "404", "403", "その他".
PageControl* FaultPages(QWidget* page, const char* name, const PanePlace (&pages)[3],
                        TForm1& form) {
    auto* control = new PageControl(name, PageControl::Tabs::Bottom, PageControl::Rows::One);
    const char* captions[3] = {"404", "403", "その他"};
    for (int i = 0; i < 3; ++i)
        PanePage(control->AddPage(pages[i].page, captions[i]), form.*pages[i].pane, kSubPage);
    control->setCurrentIndex(0);
    auto* layout = new AnchorLayout(page, kSubPage);
    layout->Place(control, QRect(QPoint(0, 0), kSubPage), kAnchorAll);
    return control;
}

// A top tab's page filled by its sub-tab control.
void SubTabsPage(QWidget* page, PageControl* control, QSize design) {
    auto* layout = new AnchorLayout(page, design);
    layout->Place(control, QRect(QPoint(0, 0), design), kAnchorAll);
}

FieldRow Row(FieldId field, const char* label, int lx, int ly, int x, int y, int width) {
    return {field, label, QPoint(lx, ly), QRect(x, y, width, 20)};
}

// The counter box under the pane of a "集計" page: the count and the distinct
// count (their labels placed a little differently on each tab), then the
// counts of the statuses 200, 403 and 404.
struct CounterBox {
    const char* name;
    QGroupBox* TForm1::*member;
    const char* countLabel;
    int countLabelX;
    const char* distinctLabel;
    int distinctLabelX;
    std::array<FieldId, 5> fields;  // count, distinct, 200, 403, 404
};

std::array<FieldRow, 5> CounterRows(const CounterBox& box) {
    const auto& f = box.fields;
    return {Row(f[0], box.countLabel, box.countLabelX, 19, 53, 14, 100),
            Row(f[1], box.distinctLabel, box.distinctLabelX, 40, 53, 36, 100),
            Row(f[2], "200", 168, 11, 189, 9, 76), Row(f[3], "403", 168, 27, 189, 25, 76),
            Row(f[4], "404", 168, 43, 189, 41, 76)};
}

}  // namespace

void TForm1::BuildMenu() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));
    const auto item = [this](QMenu* menu, const char* name, const char* caption,
                             void (TForm1::*handler)()) {
        QAction* action = menu->addAction(QString::fromUtf8(caption));
        action->setObjectName(QString::fromLatin1(name));
        connect(action, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
        return action;
    };
    const auto menu = [bar](const char* name, const char* caption) {
        QMenu* m = bar->addMenu(QString::fromUtf8(caption));
        m->setObjectName(QString::fromLatin1(name));
        return m;
    };
    File1 = menu("File1", "ファイル(&F)");
    OpenO1 = item(File1, "OpenO1", "ローカルから読み込み(&O)", &TForm1::OpenO1Click);
    OpenO1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    FTP1 = item(File1, "FTP1", "FTPから読み込み(&F)", &TForm1::FTP1Click);
    ReanalyseR1 = item(File1, "ReanalyseR1", "再解析(&R)", &TForm1::ReanalyseR1Click);
    ReanalyseR1->setShortcut(QKeySequence(Qt::Key_F5));
    File1->addSeparator();
    ImportA1 = item(File1, "ImportA1", "ログをアーカイブに取り込む(&I)…", &TForm1::ImportA1Click);
    ArchiveA1 = item(File1, "ArchiveA1", "アーカイブを開く(&A)…", &TForm1::ArchiveA1Click);
    File1->addSeparator();
    SaveS1 = item(File1, "SaveS1", "レポートを保存(&S)…", &TForm1::SaveS1Click);
    ExitE1 = item(File1, "ExitE1", "終了(&X)", &TForm1::ExitE1Click);
    N2 = menu("N2", "設定");
    N3 = item(N2, "N3", "ドメイン管理(&D)", &TForm1::N3Click);
    View1 = menu("View1", "表示(&V)");
    UTF81 = item(View1, "UTF81", "UTF-8デコーダ(&U)", &TForm1::UTF81Click);
    Insight1 = item(View1, "Insight1", "アクセス解析(&A)", &TForm1::Insight1Click);
    Insight1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_I));
    // A top-level entry that is a command itself.
    N1 = bar->addAction(QString::fromUtf8("バージョン情報(&I)"));
    N1->setObjectName(QStringLiteral("N1"));
    connect(N1, &QAction::triggered, this, [this] { N1Click(); });
}

void TForm1::BuildPages() {
    // The members of the panes, in the order of PaneId.
    static constexpr PaneView* TForm1::*kPanes[kPaneCount] = {
        &TForm1::NamaLog,     &TForm1::Memo8,        &TForm1::Memo9,           &TForm1::HOST404Memo,
        &TForm1::HOST403Memo, &TForm1::Memo2,        &TForm1::CheckDomeinMemo, &TForm1::Memo7,
        &TForm1::File404Memo, &TForm1::File403Memo,  &TForm1::Memo10,          &TForm1::Memo4,
        &TForm1::Memo6,       &TForm1::POST404Memo,  &TForm1::POST403Memo,     &TForm1::Memo11,
        &TForm1::Memo5,       &TForm1::ReferrerList, &TForm1::ReferrerLog,     &TForm1::RobotsLog};
    for (int p = 0; p < kPaneCount; ++p) {
        const std::string name(PaneName(static_cast<PaneId>(p)));
        auto* pane = new PaneView(name.c_str());
        m_panes[static_cast<std::size_t>(p)] = pane;
        this->*kPanes[p] = pane;
    }
    OwnDomainOffer = new OwnDomainBar([](const QString& host) {
        if (!Domein) return;
        Domein->OfferOwnDomain(host);
        ShowNonModal(Domein);
    });
    Image1 = new GraphImage("Image1");
    Image2 = new GraphImage("Image2");
    Image3 = new GraphImage("Image3");

    PageControl1 = new PageControl("PageControl1", PageControl::Tabs::Top, PageControl::Rows::Wrap);
    auto* client = new QWidget;
    auto* clientLayout = new QVBoxLayout(client);
    // The tab control stands 2 px short of the right and 3 px of the bottom edge.
    clientLayout->setContentsMargins(0, 0, 2, 3);
    clientLayout->addWidget(PageControl1);
    setCentralWidget(client);

    BuildCountPage();
    BuildLogTabs();
    BuildReferrerTab();
    PanePage(PageControl1->AddPage("bot", "bot"), RobotsLog, kTopPage);
    // The raw-log pane fills its page; the bar, while it is narrowed, stands above it.
    NamaLogBar = new NarrowingBar([this] { ShowAllLines(); });
    auto* rawLog = new QWidget;
    auto* rawLogLayout = new QVBoxLayout(rawLog);
    rawLogLayout->setContentsMargins(0, 0, 0, 0);
    rawLogLayout->setSpacing(0);
    rawLogLayout->addWidget(NamaLogBar);
    rawLogLayout->addWidget(NamaLog, 1);
    auto* rawLogPage = new AnchorLayout(PageControl1->AddPage("TabSheet2", "生ログ"), kTopPage);
    rawLogPage->Place(rawLog, QRect(QPoint(0, 0), kTopPage), kAnchorAll);
    PageControl1->setCurrentIndex(0);

    static constexpr FieldEdit* TForm1::*kFields[kFieldCount] = {
        &TForm1::Edit1,  &TForm1::Edit2,  &TForm1::Edit3,  &TForm1::Edit4,  &TForm1::Edit5,
        &TForm1::Edit6,  &TForm1::Edit7,  &TForm1::Edit8,  &TForm1::Edit9,  &TForm1::Edit10,
        &TForm1::Edit11, &TForm1::Edit12, &TForm1::Edit13, &TForm1::Edit14, &TForm1::Edit15,
        &TForm1::Edit16, &TForm1::Edit17, &TForm1::Edit18, &TForm1::Edit19, &TForm1::Edit20,
        &TForm1::Edit21, &TForm1::Edit22, &TForm1::Edit23, &TForm1::Edit24, &TForm1::Edit25,
        &TForm1::Edit26, &TForm1::Edit27, &TForm1::Edit28, &TForm1::Edit29, &TForm1::Edit30,
        &TForm1::Edit31, &TForm1::Edit32, &TForm1::Edit33, &TForm1::Edit34, &TForm1::Edit35};
    for (int f = 0; f < kFieldCount; ++f) this->*kFields[f] = m_fields[static_cast<std::size_t>(f)];
}

void TForm1::BuildCountPage() {
    QWidget* page = PageControl1->AddPage("TabSheet1", "カウント");
    AddLabel(page, "ファイル", QPoint(13, 17));
    Edit35 = new FieldEdit(FieldName(FieldId::LogName).c_str(), page);
    Edit35->setGeometry(59, 14, 217, 20);
    m_fields[static_cast<std::size_t>(FieldId::LogName)] = Edit35;
    Button1 = new QPushButton(QString::fromUtf8("ローカル(&L)"), page);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(280, 10, 75, 25);
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    Button2 = new QPushButton(QString::fromUtf8("FTP接続(&F)"), page);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setGeometry(360, 10, 75, 25);
    connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
    // The row of the file field is full to the window's edge: the button
    // takes the free strip left of the results.
    InsightButton = new QPushButton(QString::fromUtf8("アクセス解析"), page);
    InsightButton->setObjectName(QStringLiteral("InsightButton"));
    InsightButton->setGeometry(3, 50, 77, 25);
    connect(InsightButton, &QPushButton::clicked, this, [this] { Insight1Click(); });

    GroupBox1 = AddGroup(page, "GroupBox1", "集計結果", QRect(82, 45, 289, 353));
    GroupBox5 = AddGroup(GroupBox1, "GroupBox5", "接続", QRect(5, 18, 276, 73));
    GroupBox6 = AddGroup(GroupBox1, "GroupBox6", "要求(GET)", QRect(5, 95, 276, 65));
    GroupBox7 = AddGroup(GroupBox1, "GroupBox7", "受信(POST)", QRect(5, 167, 276, 65));
    GroupBox2 = AddGroup(GroupBox1, "GroupBox2", "解析", QRect(5, 240, 276, 81));
    std::vector<QWidget*> focus{Button1};
    const auto add = [&focus](const std::vector<QWidget*>& rows) {
        focus.insert(focus.end(), rows.begin(), rows.end());
    };
    using F = FieldId;
    add(AddRows(GroupBox5,
                {Row(F::SummaryConnections, "総接続数", 4, 24, 56, 19, 89),
                 Row(F::SummaryHosts, "ホスト数", 10, 42, 56, 40, 89),
                 Row(F::SummaryConnections200, "200", 160, 11, 181, 9, 76),
                 Row(F::SummaryConnections403, "403", 160, 27, 181, 25, 76),
                 Row(F::SummaryConnections404, "404", 160, 43, 181, 41, 76)},
                m_fields));
    add(AddRows(GroupBox6,
                {Row(F::SummaryGetRequests, "要求数", 14, 21, 55, 17, 90),
                 Row(F::SummaryGetFiles, "対象数", 14, 39, 55, 37, 90),
                 Row(F::SummaryGet200, "200", 160, 11, 181, 9, 76),
                 Row(F::SummaryGet403, "403", 160, 27, 181, 25, 76),
                 Row(F::SummaryGet404, "404", 160, 43, 181, 41, 76)},
                m_fields));
    add(AddRows(GroupBox7,
                {Row(F::SummaryPostReceptions, "受信数", 15, 22, 55, 17, 90),
                 Row(F::SummaryPostFiles, "対象数", 15, 40, 55, 37, 90),
                 Row(F::SummaryPost200, "200", 160, 11, 181, 9, 76),
                 Row(F::SummaryPost403, "403", 160, 27, 181, 25, 76),
                 Row(F::SummaryPost404, "404", 160, 43, 181, 41, 76)},
                m_fields));
    add(AddRows(GroupBox2,
                {Row(F::FaviconMsie, "favicon IE-総数", 8, 16, 91, 10, 38),
                 Row(F::FaviconAll, "-", 131, 14, 139, 10, 46),
                 Row(F::RequestsPerHost, "要求/ホスト", 32, 36, 91, 31, 94),
                 Row(F::TransferVolume, "転送量", 53, 58, 91, 54, 95)},
                m_fields));
    byteName = new UnitBox("byteName", GroupBox2);
    byteName->setGeometry(188, 54, 49, 20);
    byteName->SetChangeHandler([this] { byteNameChange(); });
    focus.insert(focus.end(), {byteName, Edit35, Button2, InsightButton});
    ChainFocus(focus);
}

// One of the tabs "接続", "要求ログ", "受信ログ": its sub-tabs "集計" (a pane
// above its counter box), "グラフ", "不正常ログ" (third-level tabs "404",
// "403", "その他") and "抽出ログ", and on "接続" a fifth page.
struct TForm1::LogTab {
    const char *page, *caption;
    const char* control;
    PageControl* TForm1::*controlMember;
    PageControl::Rows rows;
    PanePlace summary;
    CounterBox counters;
    const char *graph, *graphCaption;
    GraphImage* TForm1::*image;
    const char *faults, *faultControl;
    PageControl* TForm1::*faultMember;
    PanePlace faultPages[3];
    PanePlace extract;
    PanePlace extra;  // page nullptr: none
    const char* extraCaption;
};

void TForm1::BuildLogTab(const LogTab& tab) {
    QWidget* page = PageControl1->AddPage(tab.page, tab.caption);
    auto* control = new PageControl(tab.control, PageControl::Tabs::Bottom, tab.rows);
    QGroupBox* box = AddGroup(nullptr, tab.counters.name, "集計結果", QRect(8, 305, 281, 65));
    SummaryPage(control->AddPage(tab.summary.page, "集計"), this->*tab.summary.pane, box, m_fields,
                CounterRows(tab.counters));
    GraphPage(control->AddPage(tab.graph, "グラフ"), tab.graphCaption, this->*tab.image);
    this->*tab.faultMember = FaultPages(control->AddPage(tab.faults, "不正常ログ"),
                                        tab.faultControl, tab.faultPages, *this);
    PanePage(control->AddPage(tab.extract.page, "抽出ログ"), this->*tab.extract.pane, kSubPage);
    if (tab.extra.page)
        PanePage(control->AddPage(tab.extra.page, tab.extraCaption), this->*tab.extra.pane,
                 kSubPage);
    SubTabsPage(page, control, kTopPage);
    this->*tab.counters.member = box;
    this->*tab.controlMember = control;
}

void TForm1::BuildLogTabs() {
    using F = FieldId;
    using T = TForm1;
    // One tab a block: the tab, its sub-tab control, the pages "集計" (with the
    // counter box), "グラフ", "不正常ログ" (with its tab control and three
    // pages) and "抽出ログ", and a fifth page.
    // clang-format off
    static const LogTab kLogTabs[] = {
        {"TabSheet3", "接続", "PageControl4", &T::PageControl4, PageControl::Rows::One,
         {"TabSheet11", &T::Memo8},
         {"GroupBox8", &T::GroupBox8, "接続数", 14, "ホスト数", 8,
          {F::ConnectionsTabConnections, F::ConnectionsTabHosts, F::ConnectionsTab200,
           F::ConnectionsTab403, F::ConnectionsTab404}},
         "TabSheet15", "時間別の接続数・総接続数から見た比率", &T::Image1,
         "TabSheet12", "PageControl5", &T::PageControl5,
         {{"HOST404Box", &T::HOST404Memo}, {"HOST403Box", &T::HOST403Memo},
          {"TabSheet18", &T::Memo2}},
         {"TabSheet10", &T::Memo9},
         {"CheckDomeinBox", &T::CheckDomeinMemo}, "監視抽出"},
        {"TabSheet4", "要求ログ", "PageControl3", &T::PageControl3, PageControl::Rows::One,
         {"TabSheet9", &T::Memo7},
         {"GroupBox4", &T::GroupBox4, "要求数", 16, "対象数", 16,
          {F::GetTabRequests, F::GetTabFiles, F::GetTab200, F::GetTab403, F::GetTab404}},
         "TabSheet16", "時間別の要求数・総接続数から見た比率", &T::Image2,
         "TabSheet13", "PageControl6", &T::PageControl6,
         {{"TabSheet19", &T::File404Memo}, {"TabSheet20", &T::File403Memo},
          {"TabSheet21", &T::Memo10}},
         {"TabSheet8", &T::Memo4},
         {nullptr, nullptr}, nullptr},
        {"TabSheet5", "受信ログ", "PageControl2", &T::PageControl2, PageControl::Rows::Wrap,
         {"TabSheet7", &T::Memo6},
         {"GroupBox3", &T::GroupBox3, "受信数", 16, "対象数", 16,
          {F::PostTabReceptions, F::PostTabFiles, F::PostTab200, F::PostTab403, F::PostTab404}},
         "TabSheet17", "時間別の受信数・総接続数から見た比率", &T::Image3,
         "TabSheet14", "POST403", &T::POST403,
         {{"TabSheet22", &T::POST404Memo}, {"TabSheet23", &T::POST403Memo},
          {"TabSheet24", &T::Memo11}},
         {"TabSheet6", &T::Memo5},
         {nullptr, nullptr}, nullptr},
    };
    // clang-format on
    for (const LogTab& tab : kLogTabs) BuildLogTab(tab);
}

void TForm1::BuildReferrerTab() {
    QWidget* page = PageControl1->AddPage("TabSheet25", "リファラ");
    PageControl7 =
        new PageControl("PageControl7", PageControl::Tabs::Bottom, PageControl::Rows::One);
    // The pane fills its page; the offer of an own domain, when shown, stands above it.
    QWidget* referrers = PageControl7->AddPage("TabSheet26", "参照元");
    auto* referrersLayout = new QVBoxLayout(referrers);
    referrersLayout->setContentsMargins(0, 0, 0, 0);
    referrersLayout->setSpacing(0);
    referrersLayout->addWidget(OwnDomainOffer);
    referrersLayout->addWidget(ReferrerList, 1);
    PanePage(PageControl7->AddPage("TabSheet27", "抽出ログ"), ReferrerLog, kSubPage);
    PageControl7->setCurrentIndex(0);
    SubTabsPage(page, PageControl7, QSize(444, 403));
}

}  // namespace pomurina
