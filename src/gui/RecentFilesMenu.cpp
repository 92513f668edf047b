#include "RecentFilesMenu.h"

#include <sys/stat.h>

#include <QMenu>
#include <cerrno>

#include "ErrorBox.h"
#include "SjisQt.h"
#include "io/DataFolder.h"
#include "io/FileIo.h"
#include "text/Cp932.h"
#include "text/Errors.h"

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
      m_before(before),
      m_top(menu.insertSeparator(before)),
      m_bottom(menu.insertSeparator(before)),
      m_open(std::move(open)) {
    Rebuild();
}

void RecentFilesMenu::Remember(const std::string& path) {
    const int error = m_files.Remember(path);
    Rebuild();
    if (error) SaveFailed(error);
}

void RecentFilesMenu::Choose(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 && (errno == ENOENT || errno == ENOTDIR)) {
        const int error = m_files.Forget(path);
        Rebuild();
        ShowInformation(Utf8ToCp932("ファイルが見つかりません。\r") + PathText(path) +
                        Utf8ToCp932("\r最近使ったファイルの一覧から削除しました。"));
        if (error) SaveFailed(error);
        return;
    }
    m_open(path);
}

void RecentFilesMenu::Rebuild() {
    for (QAction* item : m_items) {
        m_menu.removeAction(item);
        item->deleteLater();
    }
    m_items.clear();
    const QFontMetrics metrics(m_menu.font());
    int number = 1;
    for (const std::string& path : m_files.Paths()) {
        // The name at the end stays in sight; a long folder is cut in the middle.
        const QString shown = metrics.elidedText(FromSjis(PathText(path)), Qt::ElideMiddle,
                                                 60 * metrics.averageCharWidth());
        auto* item = new QAction(QStringLiteral("&%1 ").arg(number++) + MenuText(shown), &m_menu);
        item->setObjectName(QStringLiteral("Recent%1").arg(number - 1));
        connect(item, &QAction::triggered, this, [this, path] { Guarded([&] { Choose(path); }); });
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
