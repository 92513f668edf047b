#include "widgets/UnitBox.h"

#include <QCompleter>
#include <QLineEdit>

namespace pomurina {

UnitBox::UnitBox(const char* name, QWidget* parent) : QComboBox(parent) {
    setObjectName(QString::fromLatin1(name));
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    addItems(
        {QStringLiteral("byte"), QStringLiteral("Kb"), QStringLiteral("Mb"), QStringLiteral("Gb")});
    setCurrentIndex(0);
    completer()->setCompletionMode(QCompleter::InlineCompletion);
    completer()->setCaseSensitivity(Qt::CaseInsensitive);
    // Leaving the field would otherwise choose the item the text names: typing chooses none.
    disconnect(lineEdit(), &QLineEdit::editingFinished, this, nullptr);
    connect(lineEdit(), &QLineEdit::textEdited, this, &UnitBox::Typed);
    connect(this, &QComboBox::currentIndexChanged, this, &UnitBox::Chosen);
    // Choosing the item that is current already still ends the typed state.
    connect(this, &QComboBox::activated, this, [this] {
        if (m_typed) Chosen();
    });
}

void UnitBox::Chosen() {
    m_typed = false;
    if (m_onChange) m_onChange();
}

void UnitBox::Typed() {
    m_typed = true;
    if (m_onChange) m_onChange();
}

}  // namespace pomurina
