// The boxes and tooltips that carry log, file or server text show it as
// typed: markup in a log can't make a link that opens a browser, nor show a
// local picture.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QTextDocument>
#include <QTimer>
#include <functional>

#include "ErrorBox.h"
#include "GuiTestKit.h"
#include "QuestionBox.h"
#include "widgets/FieldEdit.h"

namespace pomurina {
namespace {

constexpr const char* kMarkup = "<a\thref=https://evil.example/x><h1>x</h1></a><img src=/x.png>";

// What a tooltip shows: Qt renders a text that looks like markup as rich text.
QString ShownToolTip(const QString& tip) {
    if (!Qt::mightBeRichText(tip)) return tip;
    QTextDocument document;
    document.setHtml(tip);
    return document.toPlainText();
}

TEST(MessageBoxes, ShowMarkupAsTyped) {
    const std::string text = kMarkup;
    const std::vector<std::function<void()>> boxes = {
        [&] { ShowErrorBox(text); },
        [&] { ShowInformation(text); },
        [&] { AskQuestion(text); },
        [&] { ShowApplicationError(text); },
    };
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        Qt::TextFormat format = Qt::RichText;
        QString shown;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return;
            const auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
            format = label->textFormat();
            shown = label->text();
            box->done(0);
        });
        boxes[i]();
        EXPECT_EQ(format, Qt::PlainText) << "box " << i;
        EXPECT_TRUE(shown.startsWith(QString::fromLatin1(kMarkup))) << "box " << i;
    }
}

TEST(FieldToolTips, ShowMarkupAsTyped) {
    FieldEdit field("Edit35");
    field.resize(40, 20);
    const std::string markup = "<a href=https://evil.example/x>x</a><img src=/x.png>";
    field.SetText(markup);
    ASSERT_TRUE(field.CutOff());
    EXPECT_EQ(ShownToolTip(field.toolTip()), QString::fromStdString(markup));
    // A text that can't be taken for markup stays as it is.
    field.SetText("/var/log/a<b.log 1 < 2");
    EXPECT_EQ(field.toolTip(), QStringLiteral("/var/log/a<b.log 1 < 2"));
}

}  // namespace
}  // namespace pomurina
