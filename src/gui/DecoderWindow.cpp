#include "DecoderWindow.h"

#include <QFont>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringList>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QVBoxLayout>

#include "ErrorBox.h"
#include "SjisQt.h"
#include "WindowKit.h"
#include "urlconv/UrlDecoding.h"

namespace pomurina {

TUTF* UTF = nullptr;

namespace {

// The pane's lines are its blocks, less a last one that is empty (the text
// ended with a line end).
int LineCount(const QTextDocument& document) {
    const int blocks = document.blockCount();
    return document.lastBlock().text().isEmpty() ? blocks - 1 : blocks;
}

// A decoded zero byte or line break can't stand inside one pane line: it is
// shown as its escape, so the line stays one line and the byte stays visible.
// Shift-JIS trail bytes are never 00, 0A or 0D, so a byte-wise look is safe.
QString PaneLine(std::string_view decoded) {
    std::string shown;
    shown.reserve(decoded.size());
    for (const char c : decoded) {
        switch (c) {
            case '\0':
                shown += "%00";
                break;
            case '\n':
                shown += "%0A";
                break;
            case '\r':
                shown += "%0D";
                break;
            default:
                shown += c;
        }
    }
    return FromSjis(shown);
}

// Replaces the pane's first lines with decoded ones (none of which holds a
// line break), as one edit.
void PutBack(QTextDocument& document, const QStringList& lines) {
    if (lines.isEmpty()) return;
    const QTextBlock last = document.findBlockByNumber(static_cast<int>(lines.size()) - 1);
    QTextCursor cursor(&document);
    cursor.setPosition(last.position() + last.length() - 1, QTextCursor::KeepAnchor);
    cursor.insertText(lines.join(QLatin1Char('\n')));
}

}  // namespace

TUTF::TUTF(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMaximizeButtonHint |
                          Qt::WindowCloseButtonHint),
      Memo1(new QPlainTextEdit(this)),
      RunButton(new QPushButton(FromUtf8("開始(&D)"), this)) {
    setWindowTitle(FromUtf8("UTF-8デコーダ"));
    // Closing only hides the window, and an open decoder doesn't keep the
    // program running once the main window is closed.
    setAttribute(Qt::WA_QuitOnClose, false);
    setFont(WindowFont());

    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setTabChangesFocus(true);
    RunButton->setObjectName(QStringLiteral("RunButton"));

    // The pane fills the window edge to edge above the button's strip.
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(Memo1, 1);
    auto* buttonStrip = new QHBoxLayout;
    buttonStrip->setContentsMargins(8, 6, 8, 6);
    buttonStrip->addStretch(1);
    buttonStrip->addWidget(RunButton);
    layout->addLayout(buttonStrip);
    resize(484, 312);

    connect(RunButton, &QPushButton::clicked, this, &TUTF::RunButtonClick);
}

void TUTF::RunButtonClick() {
    Guarded([this] { DecodeLines(); });
}

void TUTF::DecodeLines() {
    QTextDocument& document = *Memo1->document();
    const int count = LineCount(document);
    // The decoded lines go back in one edit, which is several times faster
    // than an edit per line; a line that fails still leaves the lines before
    // it decoded.
    QStringList decoded;
    try {
        QTextBlock line = document.firstBlock();
        for (int i = 0; i < count; ++i, line = line.next())
            decoded << PaneLine(URLDecode(ToSjis(line.text())));
    } catch (...) {
        PutBack(document, decoded);
        throw;
    }
    PutBack(document, decoded);
}

}  // namespace pomurina
