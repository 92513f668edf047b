#pragma once
// The About window TVersionINFO ("バージョン情報"): product name, version,
// maker and collaborator with their web links, a picture, a note and a
// close button.
#include <QWidget>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace pomurina {

class TVersionINFO final : public QWidget {
public:
    explicit TVersionINFO(QWidget* parent = nullptr);

    QLabel *Image1, *ProductName, *VersionLabel, *Version, *MakerLabel, *MakerLink, *HelperLabel,
        *HelperLink;
    QPlainTextEdit* Note;
    QPushButton* CloseButton;

    // Closes (hides) the window.
    void CloseButtonClick();
    // Asks the desktop to open a link label's address; the outcome is not checked.
    void LinkClick(const QString& address);

protected:
    // Esc closes the window, as "閉じる" does.
    void keyPressEvent(QKeyEvent* event) override;
};

// The About window of the process.
extern TVersionINFO* VersionINFO;

}  // namespace pomurina
