#include "ListManagerWindow.h"

#include <array>

#include <QBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>

#include "ErrorBox.h"
#include "SjisQt.h"
#include "WindowKit.h"

namespace pomurina {

TDomein* Domein = nullptr;
namespace {

// Virtual keys 13 (both Enter keys) and 46.
bool IsEnter(int key) {
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}
bool IsDelete(int key) {
    return key == Qt::Key_Delete;
}

}  // namespace

TDomein::TDomein(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMaximizeButtonHint |
                          Qt::WindowCloseButtonHint) {
    BuildControls();
    Guarded([this] { FormCreate(); });
}

void TDomein::BuildControls() {
    setWindowTitle(FromUtf8("ドメイン管理"));
    setFont(WindowFont());
    // Wide enough for the four tabs in one row.
    resize(480, 270);
    setMinimumSize(450, 230);

    Seet = new QTabWidget(this);
    ResistList = AddListTab(MyDomein, "自ドメイン設定");
    BList = AddListTab(CheckDomein, "監視ドメイン");
    Robots = AddListTab(RobotList, "ロボット");
    ExcludeHosts = AddListTab(ExcludeHostList, "除外ホスト");
    Seet->setCurrentIndex(0);

    InputDomein = new QLineEdit(this);
    InputDomein->setFixedWidth(90);
    RunButton = new QPushButton(FromUtf8("登録(&R)"), this);
    DelButton = new QPushButton(FromUtf8("削除(&D)"), this);
    // The controls on the right keep their place at the top right edge.
    auto* right = new QVBoxLayout;
    right->setSpacing(6);
    right->addWidget(InputDomein);
    for (QPushButton* button : {RunButton, DelButton}) {
        button->setFixedSize(75, 25);
        right->addWidget(button, 0, Qt::AlignRight);
    }
    right->addStretch(1);
    auto* layout = new QHBoxLayout(this);
    // Narrow enough that the tabs still fit in one row at the minimum width.
    layout->setContentsMargins(4, 4, 6, 4);
    layout->setSpacing(6);
    layout->addWidget(Seet, 1);
    layout->addLayout(right);

    setTabOrder(InputDomein, RunButton);
    setTabOrder(RunButton, DelButton);
    setTabOrder(DelButton, Seet);
    InputDomein->setFocus();

    connect(RunButton, &QPushButton::clicked, this, [this] { RunButtonClick(); });
    connect(DelButton, &QPushButton::clicked, this, [this] { DelButtonClick(); });
    for (QWidget* watched : {static_cast<QWidget*>(InputDomein), static_cast<QWidget*>(ResistList),
                             static_cast<QWidget*>(BList), static_cast<QWidget*>(Robots),
                             static_cast<QWidget*>(ExcludeHosts)})
        watched->installEventFilter(this);
}

QListWidget* TDomein::AddListTab(QWidget*& page, const char* caption) {
    page = new QWidget;
    auto* box = new QListWidget(page);
    box->setSelectionMode(QAbstractItemView::SingleSelection);
    box->setSortingEnabled(false);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(box);
    Seet->addTab(page, FromUtf8(caption));
    return box;
}

QListWidget* TDomein::ListBox(int index) const {
    const std::array<QListWidget*, 4> boxes{ResistList, BList, Robots, ExcludeHosts};
    return boxes[static_cast<std::size_t>(index)];
}

void TDomein::ShowEntries(int index) {
    QListWidget* box = ListBox(index);
    box->clear();
    for (const std::string& entry : m_lists[static_cast<std::size_t>(index)].Entries().Lines())
        box->addItem(FromSjis(entry));
}

void TDomein::FormCreate() {
    // Each list loads on its own: one failing file doesn't leave the others empty.
    for (int index = 0; index < static_cast<int>(m_lists.size()); ++index) {
        Guarded([&] {
            m_lists[static_cast<std::size_t>(index)].Load();
            ShowEntries(index);
        });
    }
}

void TDomein::OfferOwnDomain(const QString& host) {
    Offer(0, host);
}

void TDomein::OfferExcludedHost(const QString& host) {
    Offer(3, host);
}

void TDomein::Offer(int tab, const QString& entry) {
    Seet->setCurrentIndex(tab);
    InputDomein->setText(entry);
    InputDomein->setFocus();
}

void TDomein::RunButtonClick() {
    Guarded([this] {
        const QString text = InputDomein->text();
        if (text.isEmpty()) return;
        const int index = Seet->currentIndex();
        ReferenceListFile& list = m_lists[static_cast<std::size_t>(index)];
        list.CheckWritable();
        std::string entry = ToSjis(text);
        ListBox(index)->addItem(FromSjis(entry));
        list.Entries().Add(std::move(entry));
        // A failed write leaves the entry in the list and the text in the field.
        list.Save();
        InputDomein->clear();
        InputDomein->setFocus();
    });
}

void TDomein::DelButtonClick() {
    Guarded([this] {
        const int index = Seet->currentIndex();
        ReferenceListFile& list = m_lists[static_cast<std::size_t>(index)];
        list.CheckWritable();
        QListWidget* box = ListBox(index);
        const QModelIndexList selected = box->selectionModel()->selectedIndexes();
        if (!selected.isEmpty()) {
            const int row = selected.front().row();
            list.Entries().Delete(static_cast<std::size_t>(row));
            delete box->takeItem(row);
            // No neighbour takes over the selection.
            box->setCurrentRow(-1);
        }
        list.Save();
    });
}

void TDomein::InputDomeinKeyDown(int key) {
    Guarded([&] {
        if (IsEnter(key)) RunButton->click();
    });
}

void TDomein::ResistListKeyDown(int key) {
    Guarded([&] {
        if (IsDelete(key)) DelButton->click();
    });
}

void TDomein::BListKeyDown(int key) {
    Guarded([&] {
        if (IsDelete(key)) DelButton->click();
    });
}

bool TDomein::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (watched == InputDomein)
            InputDomeinKeyDown(key);
        else if (watched == ResistList)
            ResistListKeyDown(key);
        else if (watched == BList || watched == Robots || watched == ExcludeHosts)
            BListKeyDown(key);
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace pomurina
