#pragma once
// A summary field: a read-only one-line field whose text the run sets.  A
// text wider than the field has the whole text as its tooltip and, while the
// field has no focus, shows "…" where it is cut, so that a number cut short
// never passes for a smaller one; the context menu copies.
#include <QLineEdit>
#include <string>

#include "window/Field.h"

namespace pomurina {

class FieldEdit final : public QLineEdit, public Field {
public:
    explicit FieldEdit(const char* name, QWidget* parent = nullptr);

    void SetText(std::string_view text) override;
    // The bytes last set, exactly (the display may have had to replace some).
    std::string Text() const override { return m_text; }

    // Whether a text wider than the field shows its end (a path's file name)
    // rather than its beginning.
    void SetShowsEnd(bool showsEnd);
    // Whether the text is wider than the field can show.
    bool CutOff() const;
    // What the field shows without the focus: the text, or when cut off its
    // beginning (its end for a field that shows its end) and "…".
    QString ShownText() const;

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void ShowText();
    // Where the line edit draws its text.
    QRect TextArea() const;

    std::string m_text = "-";
    bool m_showsEnd = false;
};

}  // namespace pomurina
