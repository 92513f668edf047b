#pragma once
// What the run needs of a read-only one-line field, and of the unit selector.
#include <string>
#include <string_view>

namespace pomurina {

class Field {
public:
    virtual ~Field() = default;
    virtual void SetText(std::string_view text) = 0;  // Shift-JIS
    virtual std::string Text() const = 0;
};

// The unit selector: the index of its chosen item, -1 when none is chosen.
class UnitSelector {
public:
    virtual ~UnitSelector() = default;
    virtual int ItemIndex() const = 0;
};

class MemoryField final : public Field {
public:
    void SetText(std::string_view text) override { m_text = text; }
    std::string Text() const override { return m_text; }

private:
    std::string m_text = "-";
};

class MemoryUnitSelector final : public UnitSelector {
public:
    explicit MemoryUnitSelector(int index = 0) : m_index(index) {}
    int ItemIndex() const override { return m_index; }
    void SetItemIndex(int index) { m_index = index; }

private:
    int m_index;
};

}  // namespace pomurina
