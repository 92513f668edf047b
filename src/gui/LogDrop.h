#pragma once
// Log files dropped onto the main window from a file manager: the window
// takes file drops (none of its controls does) and hands the dropped paths
// over once the drop is over, so the file manager isn't kept waiting
// through the analysis.  A dropped set of rotated logs comes in the open
// dialog's order, oldest first.
#include <QObject>
#include <functional>
#include <string>
#include <vector>

class QMimeData;
class QWidget;

namespace pomurina {

class LogDrop final : public QObject {
public:
    using Opener = std::function<void(const std::vector<std::string>& paths)>;

    LogDrop(QWidget& window, Opener open);

    // The dropped local files as file-system paths; empty unless every
    // dropped item is a local file.
    static std::vector<std::string> LocalFiles(const QMimeData& data);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Opener m_open;
};

}  // namespace pomurina
