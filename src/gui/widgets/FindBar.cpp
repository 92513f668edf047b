#include "widgets/FindBar.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QToolButton>
#include <limits>

#include "ErrorBox.h"
#include "SjisQt.h"
#include "search/TextFinder.h"
#include "widgets/MatchDelegate.h"
#include "widgets/PaneView.h"

namespace pomurina {
namespace {

std::size_t g_sliceLines = 65536;
int g_sliceMilliseconds = 40;

}  // namespace

void FindBar::SetSlice(std::size_t lines, int milliseconds) {
    g_sliceLines = lines;
    g_sliceMilliseconds = milliseconds;
}

FindBar& FindBar::Of(PaneView& pane) {
    // By its type (it has no meta-object of its own for findChild).
    for (QObject* child : pane.children())
        if (auto* bar = dynamic_cast<FindBar*>(child)) return *bar;
    return *new FindBar(pane);
}

FindBar::FindBar(PaneView& pane)
    : QWidget(&pane),
      Text(new QLineEdit(this)),
      Count(new QLabel(Text)),
      Previous(new QToolButton(this)),
      Next(new QToolButton(this)),
      MatchCase(new QCheckBox(FromUtf8("大/小文字を区別(&C)"), this)),
      CloseButton(new QToolButton(this)),
      Status(new QLabel(this)),
      m_pane(pane),
      m_rows(pane.viewport()),
      m_marker(&pane.Marker()) {
    setObjectName(pane.objectName() + QStringLiteral("FindBar"));
    setAutoFillBackground(true);
    Text->setObjectName(QStringLiteral("FindText"));
    Text->setPlaceholderText(FromUtf8("検索する文字列"));
    Text->installEventFilter(this);
    // Room for about sixteen characters besides the count.
    Text->setMinimumWidth(24 * Text->fontMetrics().averageCharWidth());
    Count->setTextFormat(Qt::PlainText);
    Count->setForegroundRole(QPalette::PlaceholderText);
    // Arrows that take little of a narrow pane; the captions keep their access keys.
    Previous->setText(FromUtf8("前へ(&P)"));
    Previous->setArrowType(Qt::UpArrow);
    Next->setText(FromUtf8("次へ(&N)"));
    Next->setArrowType(Qt::DownArrow);
    MatchCase->setToolTip(FromUtf8("大文字と小文字を区別して検索します"));
    Previous->setToolTip(FromUtf8("前を検索 (Shift+F3)"));
    Next->setToolTip(FromUtf8("次を検索 (F3, Enter)"));
    CloseButton->setText(FromUtf8("×"));
    CloseButton->setToolTip(FromUtf8("閉じる (Esc)"));
    CloseButton->setAutoRaise(true);
    for (QWidget* control : std::initializer_list<QWidget*>{Previous, Next, CloseButton, MatchCase})
        control->setFocusPolicy(Qt::TabFocus);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(4);
    layout->addWidget(Text, 3);
    layout->addWidget(Previous);
    layout->addWidget(Next);
    layout->addWidget(MatchCase);
    layout->addWidget(Status, 2);
    layout->addWidget(CloseButton);
    Status->setMinimumWidth(0);
    Status->setTextFormat(Qt::PlainText);

    const auto guarded = [this](void (FindBar::*command)()) {
        return [this, command] { Guarded([this, command] { (this->*command)(); }); };
    };
    connect(Previous, &QToolButton::clicked, this, guarded(&FindBar::FindPrevious));
    connect(Next, &QToolButton::clicked, this, guarded(&FindBar::FindNext));
    connect(CloseButton, &QToolButton::clicked, this, guarded(&FindBar::Close));
    connect(Text, &QLineEdit::textEdited, this, [this] { Say(QString()); });
    m_nextSlice.setSingleShot(true);
    m_nextSlice.setInterval(0);
    connect(&m_nextSlice, &QTimer::timeout, this, guarded(&FindBar::Continue));
    m_nextCountSlice.setSingleShot(true);
    m_nextCountSlice.setInterval(0);
    connect(&m_nextCountSlice, &QTimer::timeout, this, guarded(&FindBar::ContinueCount));

    // Lines that change under a search or a match make both stale.
    QAbstractItemModel* model = pane.model();
    const auto forget = [this] { Forget(); };
    connect(model, &QAbstractItemModel::modelAboutToBeReset, this, forget);
    connect(model, &QAbstractItemModel::layoutAboutToBeChanged, this, forget);
    connect(model, &QAbstractItemModel::rowsAboutToBeInserted, this, forget);
    connect(model, &QAbstractItemModel::rowsAboutToBeRemoved, this, forget);
    m_rows->installEventFilter(this);
    hide();
}

void FindBar::Open() {
    ShowBar();
    Text->setFocus(Qt::ShortcutFocusReason);
    Text->selectAll();
}

void FindBar::Close() {
    m_search.reset();
    m_nextSlice.stop();
    m_count.reset();
    m_nextCountSlice.stop();
    ShowCount(QString());
    hide();
    m_pane.ReserveBottom(0);
    m_marker->ClearMatch();
    m_pane.viewport()->update();
    m_pane.setFocus(Qt::OtherFocusReason);
}

void FindBar::ShowBar() {
    if (isVisible()) return;
    show();
    m_pane.ReserveBottom(sizeHint().height());
    Place();
}

void FindBar::Place() {
    const QRect rows = m_pane.viewport()->geometry();
    setGeometry(rows.left(), rows.bottom() + 1, rows.width(), sizeHint().height());
}

void FindBar::FindNext() {
    Start(PaneSearch::Direction::Forward);
}
void FindBar::FindPrevious() {
    Start(PaneSearch::Direction::Backward);
}

void FindBar::Start(PaneSearch::Direction direction) {
    if (Text->text().isEmpty()) {
        Open();
        return;
    }
    ShowBar();
    std::string needle = ToSjis(Text->text());
    if (FromSjis(needle) != Text->text()) {
        Say(FromUtf8("Shift-JISにない文字は検索できません"), true);
        return;
    }
    const bool forward = direction == PaneSearch::Direction::Forward;
    const bool matchCase = MatchCase->isChecked();
    // Beside the match shown when it is still the current row; from the
    // current row otherwise; from the near end without one.
    std::size_t line = std::numeric_limits<std::size_t>::max(), offset = 0;
    const int row = m_pane.currentIndex().isValid() ? m_pane.currentIndex().row() : -1;
    if (m_match && static_cast<int>(m_match->line) == row) {
        line = m_match->line;
        const bool same = needle == m_matchNeedle && matchCase == m_matchCase;
        // A changed text may match where the old one did.
        offset = forward ? m_match->at.start + (same ? m_match->at.length : 0) : m_match->at.start;
    } else if (row >= 0) {
        line = static_cast<std::size_t>(row);
        offset = forward ? 0 : PaneSearch::kLineEnd;
    }
    m_matchNeedle = needle;
    m_matchCase = matchCase;
    m_forward = forward;
    m_search.emplace(TextFinder(std::move(needle), matchCase), direction, line, offset,
                     static_cast<std::size_t>(m_pane.model()->rowCount()));
    m_count.reset();
    m_nextCountSlice.stop();
    ShowCount(QString());
    Say(FromUtf8("検索中..."));
    Continue();
}

void FindBar::Continue() {
    if (!m_search) return;
    QElapsedTimer clock;
    clock.start();
    while (m_search->Step(m_pane.Shown(), g_sliceLines) == PaneSearch::State::Running) {
        if (clock.elapsed() >= g_sliceMilliseconds) {
            m_nextSlice.start();
            return;
        }
    }
    Finish();
}

void FindBar::Finish() {
    const PaneSearch search = std::move(*m_search);
    m_search.reset();
    if (search.Current() != PaneSearch::State::Found) {
        m_match.reset();
        m_marker->ClearMatch();
        m_pane.viewport()->update();
        Say(FromUtf8("見つかりません"), true);
        return;
    }
    ShowMatch(search.Match());
    StartCount();
    if (!search.Wrapped())
        Say(QString());
    else
        Say(FromUtf8(m_forward ? "先頭に戻って見つけました" : "末尾に戻って見つけました"));
}

void FindBar::ShowMatch(const PaneMatch& match) {
    m_match = match;
    const int row = static_cast<int>(match.line);
    m_marker->SetMatch(row, match.at.start, match.at.length);

    const QModelIndex index = m_pane.model()->index(row, 0);
    m_pane.selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    m_pane.scrollTo(index, QAbstractItemView::EnsureVisible);
    // Sideways so that the match is in sight, with a little of what precedes it.
    std::string scratch;
    const std::string_view line = m_pane.Shown().Line(match.line, scratch);
    const int left = MatchDelegate::TextX(&m_pane, line, match.at.start);
    const int right = MatchDelegate::TextX(&m_pane, line, match.at.start + match.at.length);
    QScrollBar* bar = m_pane.horizontalScrollBar();
    const int width = m_pane.viewport()->width();
    if (left < bar->value() || right > bar->value() + width)
        bar->setValue(std::max(0, std::min(left - width / 4, right - width + width / 8)));
    m_pane.viewport()->update();
}

void FindBar::Forget() {
    m_search.reset();
    m_nextSlice.stop();
    m_count.reset();
    m_nextCountSlice.stop();
    ShowCount(QString());
    m_match.reset();
    m_marker->ClearMatch();
    if (isVisible()) Say(QString());
}

void FindBar::StartCount() {
    m_count.emplace(TextFinder(m_matchNeedle, m_matchCase),
                    static_cast<std::size_t>(m_pane.model()->rowCount()), *m_match);
    ContinueCount();
}

void FindBar::ContinueCount() {
    if (!m_count) return;
    QElapsedTimer clock;
    clock.start();
    while (!m_count->Step(m_pane.Shown(), g_sliceLines)) {
        if (clock.elapsed() >= g_sliceMilliseconds) {
            m_nextCountSlice.start();
            return;
        }
    }
    ShowCount(FromUtf8("%1/%2件").arg(m_count->Place()).arg(m_count->Total()));
    m_count.reset();
}

void FindBar::ShowCount(const QString& text) {
    Count->setText(text);
    Count->adjustSize();
    Text->setTextMargins(0, 0, text.isEmpty() ? 0 : Count->width() + 4, 0);
    Count->move(Text->width() - Count->width() - 6, (Text->height() - Count->height()) / 2);
}

void FindBar::Say(const QString& text, bool problem) {
    Status->setToolTip(text);
    Status->setText(text);
    Status->setStyleSheet(problem ? QStringLiteral("color: #c00000;") : QString());
}

void FindBar::keyPressEvent(QKeyEvent* event) {
    if (event->key() != Qt::Key_Escape) {
        QWidget::keyPressEvent(event);
        return;
    }
    Guarded([this] { Close(); });
    event->accept();
}

bool FindBar::eventFilter(QObject* watched, QEvent* event) {
    // The pane may be half destroyed when its rows' widget goes: compare only.
    if (watched == m_rows) {
        if (event->type() == QEvent::Resize && isVisible()) Place();
        return false;
    }
    if (watched == Text && event->type() == QEvent::Resize) ShowCount(Count->text());
    if (watched == Text && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            Guarded([&] {
                if (key->modifiers() & Qt::ShiftModifier)
                    FindPrevious();
                else
                    FindNext();
            });
            return true;
        }
    }
    return false;
}

}  // namespace pomurina
