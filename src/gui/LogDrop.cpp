#include "LogDrop.h"

#include <QDropEvent>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <QWidget>

#include "ErrorBox.h"
#include "io/RotatedOrder.h"

namespace pomurina {

LogDrop::LogDrop(QWidget& window, Opener open) : QObject(&window), m_open(std::move(open)) {
    // A control that took drops would keep them from the window.
    for (QWidget* child : window.findChildren<QWidget*>()) child->setAcceptDrops(false);
    window.setAcceptDrops(true);
    window.installEventFilter(this);
}

std::vector<std::string> LogDrop::LocalFiles(const QMimeData& data) {
    std::vector<std::string> paths;
    for (const QUrl& url : data.urls()) {
        const QString host = url.host();
        if (!url.isLocalFile() || !(host.isEmpty() || host == QStringLiteral("localhost")))
            return {};
        // The path's bytes exactly as the file system has them, even where
        // they are no UTF-8: straight from the percent-encoding.
        const QByteArray path =
            QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
        if (path.isEmpty() || path.contains('\0')) return {};
        paths.push_back(path.toStdString());
    }
    return paths;
}

bool LogDrop::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* drag = static_cast<QDropEvent*>(event);
            if (!LocalFiles(*drag->mimeData()).empty()) drag->acceptProposedAction();
            return true;
        }
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            std::vector<std::string> paths = LocalFiles(*drop->mimeData());
            if (paths.empty()) return true;
            // A file manager sends a selection in its own order: the set is
            // read as the open dialog reads it, oldest first.
            SortRotatedLogs(paths);
            drop->acceptProposedAction();
            QTimer::singleShot(0, this, [this, paths] { Guarded([&] { m_open(paths); }); });
            return true;
        }
        default:
            return QObject::eventFilter(watched, event);
    }
}

}  // namespace pomurina
