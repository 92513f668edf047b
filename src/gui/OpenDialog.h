#pragma once
// The open dialog OpenDialog1 ("Apacheログファイル", every file), behind a
// seam that tests answer instead of the user.  Several files may be chosen
// (a month of rotated logs); they come back oldest first.  The dialog opens
// in the folder of the logs chosen last, in this session or an earlier one.
#include <functional>
#include <string>
#include <vector>

class QWidget;

namespace pomurina {

// Returns the chosen files' paths, or none when the dialog was cancelled.
using OpenFileChooser = std::function<std::vector<std::string>(QWidget* parent)>;

// Replaces the dialog; an empty chooser restores the real one.
void SetOpenFileChooser(OpenFileChooser chooser);

// Shows the dialog (or asks the chooser set above); the paths are in the
// order of SortRotatedLogs.  Their folder is remembered in
// materia/window.ini; a failure to write it is said once a session.
std::vector<std::string> ChooseLogFiles(QWidget* parent);

// The folder the dialog opens in: that of the logs chosen last, or "" for
// the current directory.
std::string OpenDialogFolder();

}  // namespace pomurina
