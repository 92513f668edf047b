#include "OwnDomainBar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>

#include "ErrorBox.h"
#include "SjisQt.h"

namespace pomurina {

OwnDomainBar::OwnDomainBar(Registration registration, QWidget* parent)
    : QFrame(parent),
      Message(new QLabel(this)),
      RegisterButton(new QPushButton(FromUtf8("自ドメインに登録…"), this)),
      CloseButton(new QToolButton(this)),
      m_registration(std::move(registration)) {
    setObjectName(QStringLiteral("OwnDomainBar"));
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::ToolTipBase);
    // The host comes from the log: shown as typed.
    Message->setTextFormat(Qt::PlainText);
    Message->setWordWrap(true);
    Message->setForegroundRole(QPalette::ToolTipText);
    RegisterButton->setToolTip(
        FromUtf8("ドメイン管理を開きます。登録したあと再解析 (F5) すると参照元に反映されます"));
    CloseButton->setText(FromUtf8("×"));
    CloseButton->setToolTip(FromUtf8("閉じる"));
    CloseButton->setAutoRaise(true);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 3, 2, 3);
    layout->setSpacing(6);
    layout->addWidget(Message, 1);
    layout->addWidget(RegisterButton, 0, Qt::AlignVCenter);
    layout->addWidget(CloseButton, 0, Qt::AlignTop);
    connect(RegisterButton, &QPushButton::clicked, this, [this] {
        Guarded([this] {
            hide();
            if (m_registration) m_registration(m_host);
        });
    });
    connect(CloseButton, &QToolButton::clicked, this, [this] { hide(); });
    hide();
}

void OwnDomainBar::Offer(const std::string& host) {
    m_host = QString::fromLatin1(host.data(), static_cast<qsizetype>(host.size()));
    if (host.empty()) {
        hide();
        return;
    }
    Message->setText(FromUtf8("自ドメインが登録されていないため、参照元にサイト自身のページも"
                              "並んでいます。ログの参照元に最も多いホストは ") +
                     m_host + FromUtf8(" です。"));
    show();
}

}  // namespace pomurina
