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

std::optional<std::string> ChooseReportFile(QWidget* parent, const std::string& suggested) {
    if (Chooser()) return Chooser()(parent, suggested);
    // Without a screen there is nobody to answer: as if cancelled.
    if (Headless()) return std::nullopt;
    QFileDialog dialog(parent, QString::fromUtf8("レポートを保存"));
    dialog.setObjectName(QStringLiteral("SaveDialog1"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(QString::fromUtf8("HTMLファイル (*.html *.htm)"));
    dialog.setDefaultSuffix(QStringLiteral("html"));
    dialog.selectFile(QFile::decodeName(QByteArray::fromStdString(suggested)));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return QFile::encodeName(dialog.selectedFiles().constFirst()).toStdString();
}

}  // namespace pomurina
