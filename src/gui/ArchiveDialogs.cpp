#include "ArchiveDialogs.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QEventLoop>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <atomic>
#include <exception>

#include "ErrorBox.h"
#include "Errors.h"
#include "ProgressWindow.h"
#include "SjisQt.h"
#include "archive/ArchiveImport.h"
#include "archive/SiteName.h"
#include "insight/CalendarDay.h"
#include "io/DataFolder.h"
#include "io/LogFiles.h"
#include "parallel/LongTask.h"
#include "text/Cp932.h"
#include "widgets/DayDates.h"

namespace pomurina {

namespace {

QString SizeText(std::uint64_t bytes) {
    return QLocale(QLocale::Japanese).formattedDataSize(static_cast<qint64>(bytes));
}

}  // namespace

std::optional<std::string> ChooseArchiveSite(QWidget* parent, const std::string& suggested) {
    QStringList sites;
    if (!suggested.empty()) sites << QString::fromStdString(suggested);
    for (const std::string& site : ArchiveSites(DataFolder()))
        if (site != suggested) sites << QString::fromStdString(site);
    for (;;) {
        bool ok = false;
        const QString chosen = QInputDialog::getItem(
            parent, FromUtf8("ログをアーカイブに取り込む"),
            FromUtf8("取り込むサイトの名前（新しい名前も入力できます）:"), sites, 0, true, &ok);
        if (!ok) return std::nullopt;
        const std::string site = chosen.trimmed().toStdString();
        const auto problem = SiteNameProblem(site);
        if (!problem) return site;
        ShowErrorBox(*problem);
    }
}

void ImportIntoArchive(const std::string& site, const std::vector<std::string>& paths, bool inBox) {
    ImportResult result;
    std::exception_ptr error;
    std::atomic<bool> done{false};
    const auto import = [&] {
        try {
            result = ImportLogs(DataFolder(), site, paths);
        } catch (...) {
            error = std::current_exception();
        }
        done = true;
    };
    if (Form2) {
        Form2->Show();
        Form2->AddLine(LogNameText(paths.front()) + MoreLogsText(paths.size()) +
                       Utf8ToCp932("をアーカイブ「" + site + "」に取り込んでいます..."));
    }
    {
        // Seconds for a large log: the windows are drawn meanwhile, and take no input.
        LongTask task(import);
        if (task.Started()) {
            QEventLoop wait;
            QTimer poll;
            QObject::connect(&poll, &QTimer::timeout, &wait, [&] {
                if (done) wait.quit();
            });
            poll.start(30);
            if (!done) wait.exec(QEventLoop::ExcludeUserInputEvents);
        } else {
            import();
        }
    }
    if (inBox && Form2) Form2->Hide();
    if (error) std::rethrow_exception(error);
    std::string text =
        Utf8ToCp932("アーカイブ「" + site + "」に取り込みました。\n" + ImportResultText(result));
    for (const std::string& refused : result.refused) text += "\n" + refused;
    if (inBox)
        ShowInformation(text);
    else if (Form2)
        Form2->AddLine(text);
}

ArchiveOpenDialog::ArchiveOpenDialog(QWidget* parent)
    : QDialog(parent),
      Sites(new QComboBox),
      Months(new QListWidget),
      FirstDay(new QDateEdit),
      LastDay(new QDateEdit) {
    setObjectName(QStringLiteral("ArchiveOpen"));
    setWindowTitle(FromUtf8("アーカイブを開く"));
    Sites->setObjectName(QStringLiteral("Sites"));
    Months->setObjectName(QStringLiteral("Months"));
    for (QDateEdit* field : {FirstDay, LastDay}) {
        field->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
        field->setCalendarPopup(true);
    }
    for (const std::string& site : ArchiveSites(DataFolder()))
        Sites->addItem(QString::fromStdString(site));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Open | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Open)->setText(FromUtf8("開く"));
    buttons->button(QDialogButtonBox::Cancel)->setText(FromUtf8("キャンセル"));
    auto* form = new QFormLayout;
    form->addRow(FromUtf8("サイト"), Sites);
    auto* days = new QHBoxLayout;
    days->addWidget(FirstDay);
    days->addWidget(new QLabel(FromUtf8("〜")));
    days->addWidget(LastDay);
    days->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(new QLabel(FromUtf8("月（保存してある日数と大きさ）:")));
    layout->addWidget(Months, 1);
    layout->addWidget(new QLabel(FromUtf8("期間（太字が保存してある日）:")));
    layout->addLayout(days);
    layout->addWidget(buttons);
    resize(380, 420);

    connect(Sites, &QComboBox::currentIndexChanged, this,
            [this] { Guarded([this] { ShowSite(); }); });
    connect(Months, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row < 0) return;
        const QStringList range = Months->item(row)->data(Qt::UserRole).toStringList();
        FirstDay->setDate(QDate::fromString(range[0], Qt::ISODate));
        LastDay->setDate(QDate::fromString(range[1], Qt::ISODate));
    });
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        if (Sites->currentIndex() < 0) return;
        if (FirstDay->date() > LastDay->date()) {
            ShowInformation(Utf8ToCp932("期間の始めの日が終わりの日より後になっています。"));
            return;
        }
        accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    Guarded([this] { ShowSite(); });
}

void ArchiveOpenDialog::ShowSite() {
    Months->clear();
    m_days =
        Sites->currentIndex() < 0 ? std::vector<ArchiveDay>{} : ArchiveDays(DataFolder(), Site());
    const bool any = !m_days.empty();
    for (QDateEdit* field : {FirstDay, LastDay}) {
        field->setEnabled(any);
        field->calendarWidget()->setDateTextFormat(QDate(), QTextCharFormat());
    }
    if (!any) return;
    QTextCharFormat kept;
    kept.setFontWeight(QFont::Bold);
    kept.setForeground(QColor(0xC0, 0x10, 0x80));
    // The months newest first, each with its first and last day kept.
    struct Month {
        std::int32_t first, last;
        int days = 0;
        std::uint64_t bytes = 0;
    };
    std::vector<std::pair<QString, Month>> months;
    for (const ArchiveDay& day : m_days) {
        for (QDateEdit* field : {FirstDay, LastDay})
            field->calendarWidget()->setDateTextFormat(QDateOfDay(day.day), kept);
        const QString name = QDateOfDay(day.day).toString(QStringLiteral("yyyy-MM"));
        if (months.empty() || months.back().first != name)
            months.push_back({name, {day.day, day.day}});
        Month& month = months.back().second;
        month.last = day.day;
        ++month.days;
        month.bytes += day.bytes;
    }
    for (const auto& [name, m] : months) {
        auto* item = new QListWidgetItem(name + FromUtf8("　") + QString::number(m.days) +
                                         FromUtf8("日・") + SizeText(m.bytes));
        item->setData(Qt::UserRole, QStringList{QDateOfDay(m.first).toString(Qt::ISODate),
                                                QDateOfDay(m.last).toString(Qt::ISODate)});
        Months->insertItem(0, item);  // newest first
    }
    for (QDateEdit* field : {FirstDay, LastDay})
        field->setDateRange(QDateOfDay(m_days.front().day), QDateOfDay(m_days.back().day));
    Months->setCurrentRow(0);
}

std::string ArchiveOpenDialog::Site() const {
    return Sites->currentText().toStdString();
}

DayRange ArchiveOpenDialog::Period() const {
    return {DayOfQDate(FirstDay->date()), DayOfQDate(LastDay->date())};
}

}  // namespace pomurina
