#include "RecentFilesMenu.h"

#include <sys/stat.h>

#include <QMenu>
#include <cerrno>

#include "ErrorBox.h"
#include "SjisQt.h"
#include "io/DataFolder.h"
#include "io/FileIo.h"
#include "io/LogFiles.h"
#include "text/Cp932.h"
#include "Errors.h"

namespace pomurina {
namespace {

// A menu caption shows "&" as it is only when doubled.
QString MenuText(const QString& text) {
    QString escaped = text;
    return escaped.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

}  // namespace

std::string RecentFilesPath() {
    return DataFolder() + "/materia/RecentFiles.dat";
}

RecentFilesMenu::RecentFilesMenu(QMenu& menu, QAction* before, std::string listFile, Opener open)
    : QObject(&menu),
      m_files(std::move(listFile)),
      m_menu(menu),
      m_top(menu.insertSeparator(before)),
      m_bottom(menu.insertSeparator(before)),
      m_open(std::move(open)) {
    Rebuild();
}

void RecentFilesMenu::Remember(const RecentFiles::Entry& paths) {
    const int error = m_files.Remember(paths);
    Rebuild();
    if (error) SaveFailed(error);
}

void RecentFilesMenu::Choose(const RecentFiles::Entry& paths) {
    for (const std::string& path : paths) {
        struct stat info {};
        if (::stat(path.c_str(), &info) == 0 || (errno != ENOENT && errno != ENOTDIR)) continue;
        const int error = m_files.Forget(paths);
        Rebuild();
        ShowInformation(Utf8ToCp932("ファイルが見つかりません。\r") + PathText(path) +
                        Utf8ToCp932("\r最近使ったファイルの一覧から削除しました。"));
        if (error) SaveFailed(error);
        return;
    }
    m_open(paths);
}

void RecentFilesMenu::Rebuild() {
    for (QAction* item : m_items) {
        m_menu.removeAction(item);
        item->deleteLater();
    }
    m_items.clear();
    const QFontMetrics metrics(m_menu.font());
    int number = 1;
    for (const RecentFiles::Entry& paths : m_files.Entries()) {
        // The name at the end stays in sight; a long folder is cut in the middle.
        const QString shown = metrics.elidedText(FromSjis(PathText(paths.front())), Qt::ElideMiddle,
                                                 60 * metrics.averageCharWidth()) +
                              FromSjis(MoreLogsText(paths.size()));
        auto* item = new QAction(QStringLiteral("&%1 ").arg(number++) + MenuText(shown), &m_menu);
        item->setObjectName(QStringLiteral("Recent%1").arg(number - 1));
        connect(item, &QAction::triggered, this,
                [this, paths] { Guarded([&] { Choose(paths); }); });
        m_menu.insertAction(m_bottom, item);
        m_items.push_back(item);
    }
    m_top->setVisible(!m_items.empty());
    m_bottom->setVisible(!m_items.empty());
}

void RecentFilesMenu::SaveFailed(int error) {
    if (m_toldSaveFailure) return;
    m_toldSaveFailure = true;
    ShowInformation(
        Utf8ToCp932(
            "最近使ったファイルの一覧を保存できませんでした (ログの解析には影響しません)。\r") +
        FileCreateFailure(m_files.File(), error).Message());
}

}  // namespace pomurina
