#pragma once
// The logs opened last in the File menu, "&1" to "&5" before "終了(&X)",
// remembered across runs in materia/RecentFiles.dat.  Choosing one opens it;
// one that is gone is said and taken out of the list.
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
    using Opener = std::function<void(const std::string& path)>;

    // Reads listFile and puts its entries into menu before the item before.
    RecentFilesMenu(QMenu& menu, QAction* before, std::string listFile, Opener open);

    // After a log was analysed: its path goes first.  A list that can't be
    // written is said once; opening logs goes on as before.
    void Remember(const std::string& path);
    // Opens the entry, or says it is missing and takes it out.
    void Choose(const std::string& path);

    const std::vector<std::string>& Paths() const { return m_files.Paths(); }
    // The menu items, first to last.
    const std::vector<QAction*>& Items() const { return m_items; }

private:
    void Rebuild();
    // Tells the user the list could not be written (once per session).
    void SaveFailed(int error);

    RecentFiles m_files;
    QMenu& m_menu;
    QAction* m_before;
    QAction* m_top;  // separators around the items
    QAction* m_bottom;
    std::vector<QAction*> m_items;
    Opener m_open;
    bool m_toldSaveFailure = false;
};

// The list's file: materia/RecentFiles.dat in the program's directory.
std::string RecentFilesPath();

}  // namespace pomurina
