#include "WindowKit.h"

#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QTextDocument>
#include <QWidget>

#include "ErrorBox.h"
#include "SjisQt.h"

namespace pomurina {
namespace {

bool g_headless = false;

}  // namespace

QFont WindowFont() {
    // The design's face where it is installed, else IPA P Gothic.
    QFont font;
    font.setFamilies({QString::fromUtf8("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic")});
    font.setPixelSize(12);
    return font;
}

QIcon ProgramIcon() {
    QPixmap picture(32, 32);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    painter.setPen(Qt::black);
    painter.drawLine(3, 2, 3, 29);
    const int lengths[] = {12, 22, 17, 26, 8};
    for (int i = 0; i < 5; ++i)
        painter.fillRect(4, 3 + i * 5, lengths[i], 4, QColor(255, 136, 208));
    painter.setPen(QColor(128, 128, 128));
    painter.drawRect(0, 0, 31, 31);
    return QIcon(picture);
}

void CaptionInFrame(QWidget* groupBox) {
    groupBox->setStyleSheet(QStringLiteral(
        "QGroupBox { border: 1px solid palette(mid); border-radius: 2px; margin-top: 6px; }"
        "QGroupBox::title { subcontrol-origin: margin; subcontrol-position: top left; left: 7px; "
        "padding: 0 1px; }"));
}

QString PlainToolTip(const QString& text) {
    return Qt::mightBeRichText(text) ? Qt::convertFromPlainText(text, Qt::WhiteSpaceNoWrap) : text;
}

void SetHeadless(bool headless) {
    g_headless = headless;
}
bool Headless() {
    return g_headless;
}

void ShowNonModal(QWidget* window) {
    if (!window || g_headless) return;
    window->show();
    window->raise();
    window->activateWindow();
}

void MarkOnScreen(QWidget* window) {
    window->setAttribute(Qt::WA_Mapped);
}

QAction* AddCommand(QMenu* menu, const char* name, const char* caption, const QKeySequence& keys,
                    std::function<void()> body) {
    QAction* action = menu->addAction(FromUtf8(caption));
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcut(keys);
    QObject::connect(action, &QAction::triggered, menu,
                     [body = std::move(body)] { Guarded(body); });
    return action;
}

}  // namespace pomurina
