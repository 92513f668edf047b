#include "SaveDialog.h"

#include <QFile>
#include <QFileDialog>

#include "WindowKit.h"

namespace pomurina {
namespace {

SaveFileChooser& Chooser() {
    static SaveFileChooser chooser;
    return chooser;
}

}  // namespace

void SetSaveFileChooser(SaveFileChooser chooser) {
    Chooser() = std::move(chooser);
}

namespace {

// The save dialog with its title, filter and suffix (UTF-8).
std::optional<std::string> ChooseFile(QWidget* parent, const std::string& suggested,
                                      const char* title, const char* filter, const char* suffix) {
    if (Chooser()) return Chooser()(parent, suggested);
    // Without a screen there is nobody to answer: as if cancelled.
    if (Headless()) return std::nullopt;
    QFileDialog dialog(parent, QString::fromUtf8(title));
    dialog.setObjectName(QStringLiteral("SaveDialog1"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(QString::fromUtf8(filter));
    dialog.setDefaultSuffix(QString::fromUtf8(suffix));
    dialog.selectFile(QFile::decodeName(QByteArray::fromStdString(suggested)));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return QFile::encodeName(dialog.selectedFiles().constFirst()).toStdString();
}

}  // namespace

std::optional<std::string> ChooseReportFile(QWidget* parent, const std::string& suggested) {
    return ChooseFile(parent, suggested, "レポートを保存", "HTMLファイル (*.html *.htm)", "html");
}

std::optional<std::string> ChooseCsvFile(QWidget* parent, const std::string& suggested) {
    return ChooseFile(parent, suggested, "CSVに保存", "CSVファイル (*.csv)", "csv");
}

}  // namespace pomurina
