#pragma once
// The unit box byteName: an editable drop-down of "byte", "Kb", "Mb", "Gb".
// Typed text is completed to the first item that begins with it (case
// ignored); after typing with its list closed it reports no item (-1).
// Every change of its text or choice calls the change handler.
#include <QComboBox>
#include <functional>

#include "window/Field.h"

namespace pomurina {

class UnitBox final : public QComboBox, public UnitSelector {
public:
    explicit UnitBox(const char* name, QWidget* parent = nullptr);

    // Called at every change of text or choice (inside the caller's guard).
    void SetChangeHandler(std::function<void()> handler) { m_onChange = std::move(handler); }
    int ItemIndex() const override { return m_typed ? -1 : currentIndex(); }

private:
    void Chosen();
    void Typed();

    std::function<void()> m_onChange;
    bool m_typed = false;
};

}  // namespace pomurina
