#pragma once
// A summary field: a read-only one-line field whose text the run sets.
#include <QLineEdit>
#include <string>

#include "analysis/Field.h"

namespace pomurina {

class FieldEdit final : public QLineEdit, public Field {
public:
    explicit FieldEdit(const char* name, QWidget* parent = nullptr);

    void SetText(std::string_view text) override;
    // The bytes last set, exactly (the display may have had to replace some).
    std::string Text() const override { return m_text; }

private:
    std::string m_text = "-";
};

}  // namespace pomurina
