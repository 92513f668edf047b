#pragma once
// The open dialog OpenDialog1 ("Apacheログファイル", every file), behind a
// seam that tests answer instead of the user.
#include <functional>
#include <optional>
#include <string>

class QWidget;

namespace pomurina {

// Returns the chosen file's path, or nothing when the dialog was cancelled.
using OpenFileChooser = std::function<std::optional<std::string>(QWidget* parent)>;

// Replaces the dialog; an empty chooser restores the real one.
void SetOpenFileChooser(OpenFileChooser chooser);

// Shows the dialog (or asks the chooser set above).
std::optional<std::string> ChooseLogFile(QWidget* parent);

}  // namespace pomurina
