#include "ErrorBox.h"

#include <QApplication>
#include <QMessageBox>
#include <exception>

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

QString Title() {
    return QString::fromUtf8("ポムリナ");
}

}  // namespace

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
    QMessageBox box(QMessageBox::Critical, Title(), FromSjis(text), QMessageBox::Ok,
                    QApplication::activeWindow());
    box.exec();
}

void ShowApplicationError(const std::string& text) {
    if (ErrorHandler()) {
        ErrorHandler()(text);
        return;
    }
    QMessageBox box(QMessageBox::Critical, QString::fromUtf8("アプリケーション エラー"),
                    FromSjis(text), QMessageBox::Ok);
    box.exec();
}

void ShowInformation(const std::string& message) {
    if (InformationHandler()) {
        InformationHandler()(message);
        return;
    }
    // A carriage return in the text starts a new line of the dialog.
    QString text = FromSjis(message);
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QMessageBox box(QMessageBox::NoIcon, Title(), text, QMessageBox::Ok,
                    QApplication::activeWindow());
    box.exec();
}

}  // namespace pomurina
