#pragma once
// The log archive in the window: the site a log set is imported into, the
// import itself with the progress window up, and the dialog "アーカイブを開く"
// that chooses a site and a period (a month, or a first and last day, the
// days kept marked in the calendars).
#include <QDialog>
#include <optional>
#include <string>
#include <vector>

#include "archive/ArchiveLayout.h"
#include "filter/PeriodPreset.h"

class QComboBox;
class QDateEdit;
class QListWidget;

namespace pomurina {

// Asks for the site to import into: the sites kept, suggested first (a new
// name may be typed).  Nothing when cancelled; a name that can't be a
// site's is said in the error box and asked again.
std::optional<std::string> ChooseArchiveSite(QWidget* parent, const std::string& suggested);

// Imports the logs at paths into site's archive in the data folder, the
// progress window up meanwhile, and says what was added and what the
// archive already had, and which logs were passed over and why: in a box,
// or (inBox false, an import on the way to an analysis) in the progress
// window.  Failures propagate (the days merged before stay merged).
void ImportIntoArchive(const std::string& site, const std::vector<std::string>& paths,
                       bool inBox = true);

class ArchiveOpenDialog final : public QDialog {
public:
    explicit ArchiveOpenDialog(QWidget* parent = nullptr);

    // The site and the period chosen.
    std::string Site() const;
    DayRange Period() const;

    QComboBox* const Sites;
    QListWidget* const Months;
    QDateEdit *const FirstDay, *const LastDay;

private:
    // The days of the site chosen: the months listed, the calendars marked.
    void ShowSite();

    std::vector<ArchiveDay> m_days;
};

}  // namespace pomurina
