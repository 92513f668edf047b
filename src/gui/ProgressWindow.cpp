#include "ProgressWindow.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <algorithm>
#include <climits>

#include "SjisQt.h"
#include "WindowKit.h"

namespace pomurina {

TForm2* Form2 = nullptr;

namespace {

constexpr auto kRefreshEvery = std::chrono::milliseconds(50);

int BarValue(std::int64_t value) {
    return static_cast<int>(std::clamp<std::int64_t>(value, INT_MIN, INT_MAX));
}

}  // namespace

TForm2::TForm2(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                          Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QString::fromUtf8("アクション"));
    setFixedSize(340, 151);
    move(309, 340);

    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setGeometry(8, 8, 321, 17);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);

    GroupBox2 = new QGroupBox(QString::fromUtf8("アクション"), this);
    GroupBox2->setObjectName(QStringLiteral("GroupBox2"));
    GroupBox2->setGeometry(4, 27, 333, 118);
    CaptionInFrame(GroupBox2);

    Memo2 = new QPlainTextEdit(GroupBox2);
    Memo2->setObjectName(QStringLiteral("Memo2"));
    Memo2->setGeometry(3, 12, 326, 101);
    Memo2->setReadOnly(true);
    Memo2->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Memo2->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo2->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QPalette palette = Memo2->palette();
    palette.setColor(QPalette::Text, palette.color(QPalette::ToolTipText));
    Memo2->setPalette(palette);
}

void TForm2::Show() {
    m_shown = true;
    if (Headless()) return;
    show();
    raise();
    MarkOnScreen(this);
    repaint();
    RefreshNow();
}

void TForm2::Hide() {
    m_shown = false;
    ProgressBar1->setValue(BarValue(m_position));
    hide();
}

void TForm2::closeEvent(QCloseEvent* event) {
    m_shown = false;
    QWidget::closeEvent(event);
}

void TForm2::AddLine(std::string_view line) {
    m_lines.emplace_back(line);
    Memo2->appendPlainText(FromSjis(line));
    RefreshNow();
}

void TForm2::SetMaximum(std::int64_t maximum) {
    m_maximum = maximum;
    ProgressBar1->setMaximum(BarValue(maximum));
    ProgressBar1->setValue(BarValue(m_position));
}

void TForm2::SetPosition(std::int64_t position) {
    // A run moves the bar once for every batch of a few thousand lines.
    m_position = position;
    if (std::chrono::steady_clock::now() - m_lastRefresh >= kRefreshEvery) RefreshNow();
}

void TForm2::RefreshNow() {
    m_lastRefresh = std::chrono::steady_clock::now();
    ProgressBar1->setValue(BarValue(m_position));
    if (m_refreshHook) m_refreshHook();
    if (!isVisible()) return;
    ProgressBar1->repaint();
    Memo2->viewport()->repaint();
}

}  // namespace pomurina
