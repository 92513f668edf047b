#pragma once
// The bar above the raw-log pane while it shows the lines of one row of the
// アクセス解析 window: what is shown ("絞り込み: /index.html — 1,234行", or
// "絞り込み中…" while the lines are being found) and a button that shows all
// lines again.
#include <QFrame>
#include <cstddef>
#include <functional>

class QLabel;
class QPushButton;

namespace pomurina {

class NarrowingBar final : public QFrame {
public:
    // showAll: what "すべての行を表示" does (the bar hides itself first).
    explicit NarrowingBar(std::function<void()> showAll, QWidget* parent = nullptr);

    // The row's lines are being found.
    void ShowFinding(const QString& what);
    // The pane shows the count lines of the row.
    void ShowFound(const QString& what, std::size_t count);

    QLabel* const Message;
    QPushButton* const ShowAllButton;

private:
    void Say(const QString& text);

    std::function<void()> m_showAll;
};

// "1,234": digits grouped by three.
QString GroupedCount(std::size_t count);

}  // namespace pomurina
