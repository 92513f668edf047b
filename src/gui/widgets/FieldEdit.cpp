#include "widgets/FieldEdit.h"

#include "SjisQt.h"

namespace pomurina {

FieldEdit::FieldEdit(const char* name, QWidget* parent) : QLineEdit(parent) {
    setObjectName(QString::fromLatin1(name));
    setReadOnly(true);
    setText(QStringLiteral("-"));
}

void FieldEdit::SetText(std::string_view text) {
    m_text = text;
    setText(FromSjis(text));
    setCursorPosition(0);
}

}  // namespace pomurina
