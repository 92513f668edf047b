#include "widgets/FilterBar.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>

#include "ErrorBox.h"
#include "SjisQt.h"
#include "text/Cp932.h"
#include "widgets/DayDates.h"

namespace pomurina {

namespace {

// The presets in the order the list shows them.
struct PresetItem {
    const char* caption;
    PeriodPreset preset;
};
constexpr PresetItem kPresets[] = {
    {"最終日", PeriodPreset::LastDay},         {"直近7日", PeriodPreset::Last7Days},
    {"直近30日", PeriodPreset::Last30Days},    {"最終日の月", PeriodPreset::LastDayMonth},
    {"その前の月", PeriodPreset::MonthBefore}, {"全期間", PeriodPreset::WholeLog},
};

QDateEdit* DayField(const char* name) {
    auto* field = new QDateEdit;
    field->setObjectName(QString::fromLatin1(name));
    field->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    field->setCalendarPopup(true);
    return field;
}

QCheckBox* Check(const char* name, const char* caption) {
    auto* box = new QCheckBox(FromUtf8(caption));
    box->setObjectName(QString::fromLatin1(name));
    return box;
}

}  // namespace

FilterBar::FilterBar(std::function<void()> apply, std::function<void()> clear, QWidget* parent)
    : QFrame(parent),
      FirstDay(DayField("FirstDay")),
      LastDay(DayField("LastDay")),
      Presets(new QComboBox),
      ExcludeHosts(Check("ExcludeHosts", "除外ホストを除く")),
      Humans(Check("Humans", "ロボットを除く")),
      Path(new QLineEdit),
      Status(new QToolButton),
      VirtualHost(new QComboBox),
      Apply(new QPushButton(FromUtf8("適用"))),
      Clear(new QPushButton(FromUtf8("解除"))) {
    setObjectName(QStringLiteral("FilterBar"));
    Presets->setObjectName(QStringLiteral("Presets"));
    Presets->setPlaceholderText(FromUtf8("よく使う期間"));
    for (const PresetItem& item : kPresets) Presets->addItem(FromUtf8(item.caption));
    Presets->setCurrentIndex(-1);
    ExcludeHosts->setToolTip(
        FromUtf8("設定 > リスト管理 の「除外ホスト」に登録したホストの行を除きます"));
    Path->setObjectName(QStringLiteral("Path"));
    Path->setPlaceholderText(FromUtf8("/blog/"));
    Path->setToolTip(
        FromUtf8("このパスで始まる要求だけを集計します（ログに書かれたとおりに比べます）"));
    Path->setClearButtonEnabled(true);
    Path->setMaximumWidth(160);
    Status->setObjectName(QStringLiteral("Status"));
    Status->setPopupMode(QToolButton::InstantPopup);
    auto* statusMenu = new QMenu(Status);
    for (int c = 0; c < 4; ++c) {
        m_status[c] = statusMenu->addAction(QString::number(c + 2) + QStringLiteral("xx"));
        m_status[c]->setCheckable(true);
        connect(m_status[c], &QAction::toggled, this, [this] { ShowStatusChoice(); });
    }
    Status->setMenu(statusMenu);
    VirtualHost->setObjectName(QStringLiteral("VirtualHost"));
    VirtualHost->setEditable(true);
    VirtualHost->setToolTip(FromUtf8("このバーチャルホストの行だけを集計します（空欄ですべて）"));
    VirtualHost->setMinimumContentsLength(12);
    VirtualHost->lineEdit()->setPlaceholderText(FromUtf8("バーチャルホスト"));
    VirtualHost->hide();
    Apply->setObjectName(QStringLiteral("ApplyFilter"));
    Clear->setObjectName(QStringLiteral("ClearFilter"));

    // Two halves side by side, or one above the other in a narrow window.
    auto* days = new QWidget;
    auto* dayRow = new QHBoxLayout(days);
    dayRow->setContentsMargins(0, 0, 0, 0);
    dayRow->addWidget(new QLabel(FromUtf8("期間")));
    dayRow->addWidget(FirstDay);
    dayRow->addWidget(new QLabel(FromUtf8("〜")));
    dayRow->addWidget(LastDay);
    dayRow->addWidget(Presets);
    dayRow->addSpacing(8);
    dayRow->addWidget(ExcludeHosts);
    dayRow->addWidget(Humans);
    dayRow->addStretch();
    auto* rest = new QWidget;
    auto* restRow = new QHBoxLayout(rest);
    restRow->setContentsMargins(0, 0, 0, 0);
    restRow->addWidget(new QLabel(FromUtf8("パス")));
    restRow->addWidget(Path, 1);
    restRow->addWidget(Status);
    restRow->addWidget(VirtualHost);
    restRow->addWidget(Apply);
    restRow->addWidget(Clear);
    restRow->addStretch();
    m_halves = new QBoxLayout(QBoxLayout::LeftToRight, this);
    m_halves->setContentsMargins(0, 0, 0, 0);
    m_halves->addWidget(days);
    m_halves->addWidget(rest, 1);

    connect(Presets, &QComboBox::activated, this,
            [this](int index) { Guarded([&] { ChoosePreset(index); }); });
    connect(Apply, &QPushButton::clicked, this, [this, apply = std::move(apply)] {
        Guarded([&] {
            if (FirstDay->isEnabled() && FirstDay->date() > LastDay->date()) {
                ShowInformation(Utf8ToCp932("期間の始めの日が終わりの日より後になっています。"));
                return;
            }
            apply();
        });
    });
    connect(Clear, &QPushButton::clicked, this, [this, clear = std::move(clear)] {
        Guarded([&] {
            Reset();
            clear();
        });
    });
    ShowStatusChoice();
    SetLogDays(std::nullopt);
}

void FilterBar::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    int oneRow = m_halves->spacing();
    for (int i = 0; i < m_halves->count(); ++i)
        oneRow += m_halves->itemAt(i)->widget()->minimumSizeHint().width();
    m_halves->setDirection(width() >= oneRow ? QBoxLayout::LeftToRight : QBoxLayout::TopToBottom);
}

void FilterBar::SetLogDays(std::optional<DayRange> log) {
    m_log = log;
    for (QDateEdit* field : {FirstDay, LastDay}) {
        field->setEnabled(log.has_value());
        if (log) field->setDateRange(QDateOfDay(log->first), QDateOfDay(log->last));
    }
    Presets->setEnabled(log.has_value());
    if (log) SetPeriod(*log);
}

void FilterBar::SetPeriod(DayRange period) {
    FirstDay->setDate(QDateOfDay(period.first));
    LastDay->setDate(QDateOfDay(period.last));
}

void FilterBar::ShowApplied(const LineFilter& filter) {
    if (m_log)
        SetPeriod({filter.firstDay.value_or(m_log->first), filter.lastDay.value_or(m_log->last)});
    ExcludeHosts->setChecked(filter.excludedHosts != nullptr);
    Humans->setChecked(filter.humansOnly);
    Path->setText(QString::fromStdString(filter.pathPrefix));
    for (int c = 0; c < 4; ++c) m_status[c]->setChecked(filter.statusClasses & (1u << (c + 2)));
    VirtualHost->setEditText(QString::fromStdString(filter.vhost));
}

void FilterBar::SetVirtualHosts(const std::vector<std::string>& names) {
    VirtualHost->clear();
    VirtualHost->addItem(QString());  // every virtual host
    for (const std::string& name : names) VirtualHost->addItem(QString::fromStdString(name));
    VirtualHost->setVisible(!names.empty());
}

void FilterBar::Reset() {
    ShowApplied({});
}

FilterChoice FilterBar::Choice() const {
    FilterChoice choice;
    if (m_log) {
        const DayRange period{DayOfQDate(FirstDay->date()), DayOfQDate(LastDay->date())};
        if (period != *m_log) choice.period = period;
    }
    choice.excludeListedHosts = ExcludeHosts->isChecked();
    choice.humansOnly = Humans->isChecked();
    choice.pathPrefix = Path->text().trimmed().toStdString();
    choice.statusClasses = CheckedStatusClasses();
    if (!VirtualHost->isHidden()) choice.vhost = VirtualHost->currentText().trimmed().toStdString();
    return choice;
}

void FilterBar::ChoosePreset(int index) {
    Presets->setCurrentIndex(-1);  // a list of choices, not a state
    if (!m_log || index < 0 || index >= static_cast<int>(std::size(kPresets))) return;
    const auto period = PresetPeriod(kPresets[index].preset, *m_log);
    if (!period) {
        ShowInformation(Utf8ToCp932(std::string("ログには「") + kPresets[index].caption +
                                    "」の日の行がありません。"));
        return;
    }
    SetPeriod(*period);
}

std::uint8_t FilterBar::CheckedStatusClasses() const {
    std::uint8_t classes = 0;
    for (int c = 0; c < 4; ++c)
        if (m_status[c]->isChecked()) classes |= static_cast<std::uint8_t>(1u << (c + 2));
    return classes;
}

void FilterBar::ShowStatusChoice() {
    const std::uint8_t classes = CheckedStatusClasses();
    Status->setText(
        FromUtf8("ステータス: ") +
        (classes ? QString::fromStdString(StatusClassesText(classes)) : FromUtf8("すべて")));
    // Room for the menu's arrow after the text.
    Status->setMinimumWidth(Status->fontMetrics().horizontalAdvance(Status->text()) + 32);
}

}  // namespace pomurina
