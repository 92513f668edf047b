#pragma once
// A summary field: a read-only one-line field whose text the run sets.  A
// text wider than the field has the whole text as its tooltip; the context
// menu copies.
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

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void ShowText();

    std::string m_text = "-";
    bool m_showsEnd = false;
};

}  // namespace pomurina
