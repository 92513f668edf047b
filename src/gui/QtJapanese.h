#pragma once
// Qt's own texts in Japanese: the standard dialogs (the open dialog's
// "Look in", "File name", "Cancel") and the fields' context menus ("Copy",
// "Select All") speak the program's language.

namespace pomurina {

// Installs Qt's Japanese translation (qtbase_ja.qm from Qt's translations
// folder) into the application, once; later calls do nothing.  False when it
// can't be found or read: Qt's texts then stay English.
bool InstallQtJapanese();

}  // namespace pomurina
