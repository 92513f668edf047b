#include "OpenDialog.h"

#include <QFile>
#include <QFileDialog>

#include "WindowKit.h"

namespace pomurina {
namespace {

OpenFileChooser& Chooser() {
    static OpenFileChooser chooser;
    return chooser;
}

}  // namespace

void SetOpenFileChooser(OpenFileChooser chooser) {
    Chooser() = std::move(chooser);
}

std::optional<std::string> ChooseLogFile(QWidget* parent) {
    if (Chooser()) return Chooser()(parent);
    // Without a screen there is nobody to answer: as if cancelled.
    if (Headless()) return std::nullopt;
    QFileDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("OpenDialog1"));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilter(QString::fromUtf8("Apacheログファイル (*)"));
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return QFile::encodeName(dialog.selectedFiles().constFirst()).toStdString();
}

}  // namespace pomurina
