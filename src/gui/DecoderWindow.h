#pragma once
// TUTF: the decoder window "UTF-8デコーダ".  Percent-encoded UTF-8 lines
// pasted into its pane are decoded in place.  It stands alone; it reads and
// writes no file.
#include <QWidget>

class QPlainTextEdit;
class QPushButton;

namespace pomurina {

// "UTF-8デコーダ": the editable pane Memo1 and the button "開始(&D)".
class TUTF : public QWidget {
    Q_OBJECT

public:
    explicit TUTF(QWidget* parent = nullptr);

    // The button: decodes every line of Memo1 in place; a line that fails
    // ends the work, and its error goes to the error box.
    void RunButtonClick();

    QPlainTextEdit* const Memo1;
    QPushButton* const RunButton;

private:
    void DecodeLines();
};

// The process's decoder window, created once at start-up.
extern TUTF* UTF;

}  // namespace pomurina
