#pragma once
// The open dialog OpenDialog1 ("Apacheログファイル", every file), behind a
// seam that tests answer instead of the user.  Several files may be chosen
// (a month of rotated logs); they come back oldest first.
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
// order of SortRotatedLogs.
std::vector<std::string> ChooseLogFiles(QWidget* parent);

}  // namespace pomurina
