#include "widgets/FieldEdit.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
#include <QStyleOptionFrame>

#include "SjisQt.h"
#include "WindowKit.h"

namespace pomurina {

FieldEdit::FieldEdit(const char* name, QWidget* parent) : QLineEdit(parent) {
    setObjectName(QString::fromLatin1(name));
    setReadOnly(true);
    setText(QStringLiteral("-"));
}

void FieldEdit::SetText(std::string_view text) {
    m_text = text;
    setText(FromSjis(text));
    ShowText();
}

void FieldEdit::SetShowsEnd(bool showsEnd) {
    m_showsEnd = showsEnd;
    ShowText();
}

bool FieldEdit::CutOff() const {
    QStyleOptionFrame option;
    initStyleOption(&option);
    const QRect inside = style()->subElementRect(QStyle::SE_LineEditContents, &option, this);
    // The line edit keeps 2 px on either side of its text.
    return fontMetrics().horizontalAdvance(text()) > inside.width() - 4;
}

void FieldEdit::ShowText() {
    setCursorPosition(m_showsEnd ? static_cast<int>(text().size()) : 0);
    setToolTip(CutOff() ? PlainToolTip(text()) : QString());
}

void FieldEdit::contextMenuEvent(QContextMenuEvent* event) {
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    // Without a selection the whole text is copied.
    AddCommand(menu, "FieldCopy", "コピー(&C)", QKeySequence::Copy, [this] {
        QApplication::clipboard()->setText(hasSelectedText() ? selectedText() : text());
    });
    menu->popup(event->globalPos());
    event->accept();
}

void FieldEdit::resizeEvent(QResizeEvent* event) {
    QLineEdit::resizeEvent(event);
    ShowText();
}

void FieldEdit::changeEvent(QEvent* event) {
    QLineEdit::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) ShowText();
}

}  // namespace pomurina
