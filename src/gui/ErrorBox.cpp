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
    QMessageBox box(QMessageBox::NoIcon, Title(), text, QMessageBox::Ok);
    PlaceBox(box);
    box.exec();
}

}  // namespace pomurina
