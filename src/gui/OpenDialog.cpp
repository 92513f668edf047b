#include "OpenDialog.h"

#include <QFile>
#include <QFileDialog>

#include "WindowKit.h"
#include "io/RotatedOrder.h"

namespace pomurina {
namespace {

OpenFileChooser& Chooser() {
    static OpenFileChooser chooser;
    return chooser;
}

std::vector<std::string> ShowDialog(QWidget* parent) {
    // Without a screen there is nobody to answer: as if cancelled.
    if (Headless()) return {};
    QFileDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("OpenDialog1"));
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setNameFilter(QString::fromUtf8("Apacheログファイル (*)"));
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    std::vector<std::string> paths;
    if (dialog.exec() != QDialog::Accepted) return paths;
    for (const QString& file : dialog.selectedFiles())
        paths.push_back(QFile::encodeName(file).toStdString());
    return paths;
}

}  // namespace

void SetOpenFileChooser(OpenFileChooser chooser) {
    Chooser() = std::move(chooser);
}

std::vector<std::string> ChooseLogFiles(QWidget* parent) {
    std::vector<std::string> paths = Chooser() ? Chooser()(parent) : ShowDialog(parent);
    SortRotatedLogs(paths);
    return paths;
}

}  // namespace pomurina
