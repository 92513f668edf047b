#include "QuestionBox.h"

#include <QMessageBox>
#include <QPushButton>

#include "ErrorBox.h"
#include "SjisQt.h"

namespace pomurina {
namespace {

QuestionHandler& Handler() {
    static QuestionHandler handler;
    return handler;
}

}  // namespace

void SetQuestionHandler(QuestionHandler handler) {
    Handler() = std::move(handler);
}

bool AskQuestion(const std::string& question) {
    if (Handler()) return Handler()(question);
    QString text = FromSjis(question);
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QMessageBox box(QMessageBox::Warning, QString::fromUtf8("ポムリナ"), text,
                    QMessageBox::NoButton, BoxOwner());
    QPushButton* yes = box.addButton(QString::fromUtf8("はい(&Y)"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QString::fromUtf8("いいえ(&N)"), QMessageBox::NoRole);
    box.setDefaultButton(no);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

}  // namespace pomurina
