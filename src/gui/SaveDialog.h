#pragma once
// The dialog that asks where to save a report (an HTML file), behind a seam
// that tests answer instead of the user.
#include <functional>
#include <optional>
#include <string>

class QWidget;

namespace pomurina {

// Returns the chosen path, or nothing when the dialog was cancelled;
// suggested is the path offered first.
using SaveFileChooser =
    std::function<std::optional<std::string>(QWidget* parent, const std::string& suggested)>;

// Replaces the dialog; an empty chooser restores the real one.
void SetSaveFileChooser(SaveFileChooser chooser);

// Shows the dialog (or asks the chooser set above).  Replacing a file that
// exists is confirmed in the dialog.
std::optional<std::string> ChooseReportFile(QWidget* parent, const std::string& suggested);

// The same dialog for a CSV file, through the same seam.
std::optional<std::string> ChooseCsvFile(QWidget* parent, const std::string& suggested);

}  // namespace pomurina
