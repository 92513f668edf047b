#include "ErrorBox.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <exception>

#include "QuestionBox.h"
#include "SjisQt.h"
#include "text/Cp932.h"

namespace pomurina {
namespace {

MessageBoxHandler& ErrorHandler() {
    static MessageBoxHandler handler;
    return handler;
}

MessageBoxHandler& InformationHandler() {
    static MessageBoxHandler handler;
    return handler;
}

QuestionHandler& QuestionAnswerer() {
    static QuestionHandler handler;
    return handler;
}

QString Title() {
    return QString::fromUtf8("ポムリナ");
}

// A carriage return in the text starts a new line of the dialog.
QString LinesText(const std::string& sjis) {
    QString text = FromSjis(sjis);
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

// Log lines, file names and server replies reach the boxes: "<a href=...>"
// in them must show as typed, never as a link or a picture.
void PlainTextOnly(QMessageBox& box) {
    box.setTextFormat(Qt::PlainText);
}

// Gives box its owner: a visible window that stays on top (the progress
// window, left up by a load that failed) would cover a box owned by any other
// window, so it owns the box, and the box stays on top as well.
void PlaceBox(QMessageBox& box) {
    QWidget* const owner = BoxOwner();
    box.setParent(owner, box.windowFlags());
    if (owner && owner->windowFlags().testFlag(Qt::WindowStaysOnTopHint))
        box.setWindowFlag(Qt::WindowStaysOnTopHint);
}

}  // namespace

QWidget* BoxOwner() {
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->isVisible() && window->windowFlags().testFlag(Qt::WindowStaysOnTopHint) &&
            !qobject_cast<QMessageBox*>(window))
            return window;
    return QApplication::activeWindow();
}

void SetErrorBoxHandler(MessageBoxHandler handler) {
    ErrorHandler() = std::move(handler);
}
void SetInformationHandler(MessageBoxHandler handler) {
    InformationHandler() = std::move(handler);
}

void ShowErrorBox(const std::string& message) {
    const std::string text = WithFullStop(message);
    if (ErrorHandler()) {
        ErrorHandler()(text);
        return;
    }
    QMessageBox box(QMessageBox::Critical, Title(), FromSjis(text), QMessageBox::Ok);
    PlainTextOnly(box);
    PlaceBox(box);
    box.exec();
}

void ShowApplicationError(const std::string& text) {
    if (ErrorHandler()) {
        ErrorHandler()(text);
        return;
    }
    QMessageBox box(QMessageBox::Critical, QString::fromUtf8("アプリケーション エラー"),
                    FromSjis(text), QMessageBox::Ok);
    PlainTextOnly(box);
    box.exec();
}

void ShowInformation(const std::string& message) {
    if (InformationHandler()) {
        InformationHandler()(message);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, Title(), LinesText(message), QMessageBox::Ok);
    PlainTextOnly(box);
    PlaceBox(box);
    box.exec();
}

void SetQuestionHandler(QuestionHandler handler) {
    QuestionAnswerer() = std::move(handler);
}

bool AskQuestion(const std::string& question) {
    if (QuestionAnswerer()) return QuestionAnswerer()(question);
    QMessageBox box(QMessageBox::Warning, Title(), LinesText(question), QMessageBox::NoButton);
    PlainTextOnly(box);
    PlaceBox(box);
    QPushButton* yes = box.addButton(QString::fromUtf8("はい(&Y)"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QString::fromUtf8("いいえ(&N)"), QMessageBox::NoRole);
    box.setDefaultButton(no);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

}  // namespace pomurina
