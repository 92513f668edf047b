#pragma once
// The offer above the referrer pane after a run with no own domain listed:
// the pane then lists the site's own pages among the referrers, and the bar
// says why and offers to register the host the log's referrers name most
// often, in the list manager with the host filled in.  Offered once a run,
// in the window, never in a box that stops the user.
#include <QFrame>
#include <functional>
#include <string>

class QLabel;
class QPushButton;
class QToolButton;

namespace pomurina {

class OwnDomainBar final : public QFrame {
public:
    // What "自ドメインに登録…" does with the host.
    using Registration = std::function<void(const QString& host)>;

    explicit OwnDomainBar(Registration registration, QWidget* parent = nullptr);

    // Shows the offer for host (the run's guess); hides the bar for "".
    void Offer(const std::string& host);
    const QString& Host() const { return m_host; }

    QLabel* const Message;
    QPushButton* const RegisterButton;
    QToolButton* const CloseButton;

private:
    Registration m_registration;
    QString m_host;
};

}  // namespace pomurina
