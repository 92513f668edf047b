#pragma once
// The logs opened last in the File menu, "&1" to "&5" before "終了(&X)",
// remembered across runs in materia/RecentFiles.dat.  Several logs analysed
// together are one item ("access_log.3.gz 他3ファイル") that opens them all
// again.  Choosing one opens it; one whose log is gone is said and taken out
// of the list.
#include <QObject>
#include <functional>
#include <string>
#include <vector>

#include "lists/RecentFiles.h"

class QAction;
class QMenu;

namespace pomurina {

class RecentFilesMenu final : public QObject {
public:
    using Opener = std::function<void(const RecentFiles::Entry& paths)>;

    // Reads listFile and puts its entries into menu before the item before.
    RecentFilesMenu(QMenu& menu, QAction* before, std::string listFile, Opener open);

    // After logs were analysed: their paths go first.  A list that can't be
    // written is said once; opening logs goes on as before.
    void Remember(const RecentFiles::Entry& paths);
    // Opens the entry, or says which log is missing and takes it out.
    void Choose(const RecentFiles::Entry& paths);

    const std::vector<RecentFiles::Entry>& Entries() const { return m_files.Entries(); }
    // The menu items, first to last.
    const std::vector<QAction*>& Items() const { return m_items; }

private:
    void Rebuild();
    // Tells the user the list could not be written (once per session).
    void SaveFailed(int error);

    RecentFiles m_files;
    QMenu& m_menu;
    QAction* m_top;  // separators around the items
    QAction* m_bottom;
    std::vector<QAction*> m_items;
    Opener m_open;
    bool m_toldSaveFailure = false;
};

// The list's file: materia/RecentFiles.dat in the program's directory.
std::string RecentFilesPath();

}  // namespace pomurina
