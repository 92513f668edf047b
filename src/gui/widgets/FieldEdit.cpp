#include "widgets/FieldEdit.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
#include <QPainter>
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

QRect FieldEdit::TextArea() const {
    QStyleOptionFrame option;
    initStyleOption(&option);
    const QRect inside = style()->subElementRect(QStyle::SE_LineEditContents, &option, this);
    // The line edit keeps 2 px on either side of its text.
    return inside.adjusted(2, 0, -2, 0);
}

bool FieldEdit::CutOff() const {
    return fontMetrics().horizontalAdvance(text()) > TextArea().width();
}

QString FieldEdit::ShownText() const {
    if (!CutOff()) return text();
    return fontMetrics().elidedText(text(), m_showsEnd ? Qt::ElideLeft : Qt::ElideRight,
                                    TextArea().width());
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

void FieldEdit::paintEvent(QPaintEvent* event) {
    if (hasFocus() || !CutOff()) {
        QLineEdit::paintEvent(event);
        return;
    }
    // The frame as the line edit draws it, then the cut text with its "…".
    QPainter painter(this);
    QStyleOptionFrame option;
    initStyleOption(&option);
    style()->drawPrimitive(QStyle::PE_PanelLineEdit, &option, &painter, this);
    const QRect area = TextArea();
    const QFontMetrics metrics = fontMetrics();
    const QRect line(area.left(), area.top() + (area.height() - metrics.height() + 1) / 2,
                     area.width(), metrics.height());
    painter.setPen(palette().color(QPalette::Text));
    painter.drawText(line, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, ShownText());
}

void FieldEdit::changeEvent(QEvent* event) {
    QLineEdit::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) ShowText();
}

}  // namespace pomurina
