#include "NarrowingBar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

#include "ErrorBox.h"
#include "SjisQt.h"

namespace pomurina {

NarrowingBar::NarrowingBar(std::function<void()> showAll, QWidget* parent)
    : QFrame(parent),
      Message(new QLabel(this)),
      ShowAllButton(new QPushButton(FromUtf8("すべての行を表示"), this)),
      m_showAll(std::move(showAll)) {
    setObjectName(QStringLiteral("NarrowingBar"));
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::ToolTipBase);
    // Paths and hosts come from the log: shown as they are, never as markup.
    Message->setTextFormat(Qt::PlainText);
    Message->setForegroundRole(QPalette::ToolTipText);
    Message->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // A path of thousands of bytes must not widen the main window: the text
    // is cut at the bar's end, and the tooltip holds it whole.
    Message->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 3, 3, 3);
    layout->setSpacing(6);
    layout->addWidget(Message, 1);
    layout->addWidget(ShowAllButton, 0, Qt::AlignVCenter);
    connect(ShowAllButton, &QPushButton::clicked, this, [this] {
        Guarded([this] {
            hide();
            if (m_showAll) m_showAll();
        });
    });
    hide();
}

void NarrowingBar::ShowFinding(const QString& what) {
    Say(FromUtf8("絞り込み: ") + what + FromUtf8(" — 絞り込み中…"));
}

void NarrowingBar::ShowFound(const QString& what, std::size_t count) {
    Say(FromUtf8("絞り込み: ") + what + FromUtf8(" — ") + GroupedCount(count) + FromUtf8("行"));
}

void NarrowingBar::Say(const QString& text) {
    Message->setText(text);
    Message->setToolTip(text);
    show();
}

QString GroupedCount(std::size_t count) {
    QString digits = QString::number(count);
    for (qsizetype at = digits.size() - 3; at > 0; at -= 3) digits.insert(at, QLatin1Char(','));
    return digits;
}

}  // namespace pomurina
