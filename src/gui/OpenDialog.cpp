#include "OpenDialog.h"

#include <QFile>
#include <QFileDialog>
#include <filesystem>

#include "ErrorBox.h"
#include "WindowKit.h"
#include "io/DataFolder.h"
#include "io/RotatedOrder.h"
#include "lists/WindowSettings.h"
#include "text/Cp932.h"

namespace pomurina {
namespace {

OpenFileChooser& Chooser() {
    static OpenFileChooser chooser;
    return chooser;
}

WindowSettings Settings() {
    return WindowSettings(DataFolder() + "/materia/window.ini");
}

std::vector<std::string> ShowDialog(QWidget* parent) {
    // Without a screen there is nobody to answer: as if cancelled.
    if (Headless()) return {};
    QFileDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("OpenDialog1"));
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setNameFilter(QString::fromUtf8("Apacheログファイル (*)"));
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    const std::string folder = OpenDialogFolder();
    std::error_code error;
    if (!folder.empty() && std::filesystem::is_directory(folder, error))
        dialog.setDirectory(QFile::decodeName(QByteArray::fromStdString(folder)));
    std::vector<std::string> paths;
    if (dialog.exec() != QDialog::Accepted) return paths;
    for (const QString& file : dialog.selectedFiles())
        paths.push_back(QFile::encodeName(file).toStdString());
    return paths;
}

// Remembers the folder of the chosen path for the next dialog, in this
// session and the next.
void RememberFolder(const std::string& path) {
    const std::string folder = std::filesystem::path(path).parent_path().string();
    WindowSettings settings = Settings();
    if (folder.empty() || settings.Get(WindowSettings::kOpenFolder) == folder) return;
    const int error = settings.Set(WindowSettings::kOpenFolder, folder);
    static bool told = false;
    if (!error || told) return;
    told = true;
    ShowInformation(
        Utf8ToCp932("開いたフォルダを保存できませんでした (ログの解析には影響しません)。\r") +
        FileCreateFailure(settings.File(), error).Message());
}

}  // namespace

void SetOpenFileChooser(OpenFileChooser chooser) {
    Chooser() = std::move(chooser);
}

std::vector<std::string> ChooseLogFiles(QWidget* parent) {
    std::vector<std::string> paths = Chooser() ? Chooser()(parent) : ShowDialog(parent);
    if (!paths.empty()) RememberFolder(paths.front());
    SortRotatedLogs(paths);
    return paths;
}

std::string OpenDialogFolder() {
    return Settings().Get(WindowSettings::kOpenFolder).value_or(std::string());
}

}  // namespace pomurina
