#include "AboutWindow.h"

#include <QDesktopServices>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QUrl>

#include "ErrorBox.h"
#include "WindowKit.h"

namespace pomurina {

TVersionINFO* VersionINFO = nullptr;

namespace {

constexpr const char* kMakerAddress = "https://pomurina.example.jp/";
constexpr const char* kHelperAddress = "https://mojicode.example.jp/";

QLabel* AddText(QWidget* parent, const char* name, const QString& text, int x, int y) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->move(x, y);
    label->adjustSize();
    return label;
}

}  // namespace

TVersionINFO::TVersionINFO(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("VersionINFO"));
    setWindowTitle(QString::fromUtf8("バージョン情報"));
    setFixedSize(340, 210);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(ProgramIcon().pixmap(32, 32));
    Image1->setGeometry(16, 16, 32, 32);

    ProductName = AddText(this, "ProductName", QString::fromUtf8("ポムリナ"), 64, 14);
    QFont bold = font();
    bold.setBold(true);
    QFont title = bold;
    title.setPixelSize(16);
    ProductName->setFont(title);
    ProductName->adjustSize();
    VersionLabel = AddText(this, "VersionLabel", QString::fromUtf8("バージョン："), 64, 40);
    Version = AddText(this, "Version", QStringLiteral("0.8.1"), 64 + VersionLabel->width() + 4, 40);
    Version->setFont(bold);
    Version->adjustSize();

    // A link label beside its name: blue, underlined, the hand cursor.
    const auto link = [this](const char* name, const char* address, const QLabel* beside) {
        QLabel* label =
            AddText(this, name, QStringLiteral("<a href=\"%1\">%1</a>").arg(QLatin1String(address)),
                    beside->geometry().right() + 12, beside->y());
        label->setTextFormat(Qt::RichText);
        label->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
        label->setOpenExternalLinks(false);
        label->setCursor(Qt::PointingHandCursor);
        label->adjustSize();
        connect(label, &QLabel::linkActivated, this,
                [this](const QString& url) { LinkClick(url); });
        return label;
    };
    MakerLabel = AddText(this, "MakerLabel", QString::fromUtf8("制作：ポムリナ制作室"), 16, 70);
    MakerLink = link("MakerLink", kMakerAddress, MakerLabel);
    HelperLabel = AddText(this, "HelperLabel", QString::fromUtf8("協力：文字コード工房"), 16, 92);
    HelperLink = link("HelperLink", kHelperAddress, HelperLabel);

    Note = new QPlainTextEdit(this);
    Note->setObjectName(QStringLiteral("Note"));
    Note->setGeometry(12, 120, 316, 48);
    Note->setReadOnly(true);
    Note->setFrameShape(QFrame::NoFrame);
    Note->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Note->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Note->viewport()->setAutoFillBackground(false);
    Note->setPlainText(
        QString::fromUtf8("UTF-8 で書かれた URL のデコード手法は\n"
                          "文字コード工房の協力を得て\n"
                          "作られました。"));

    CloseButton = new QPushButton(QString::fromUtf8("閉じる(&C)"), this);
    CloseButton->setObjectName(QStringLiteral("CloseButton"));
    CloseButton->setGeometry(253, 174, 75, 25);
    connect(CloseButton, &QPushButton::clicked, this, &TVersionINFO::CloseButtonClick);
}

void TVersionINFO::CloseButtonClick() {
    Guarded([this] { close(); });
}

void TVersionINFO::keyPressEvent(QKeyEvent* event) {
    if (event->key() != Qt::Key_Escape || event->modifiers() != Qt::NoModifier) {
        QWidget::keyPressEvent(event);
        return;
    }
    CloseButtonClick();
    event->accept();
}

void TVersionINFO::LinkClick(const QString& address) {
    Guarded([&] { QDesktopServices::openUrl(QUrl(address)); });
}

}  // namespace pomurina
