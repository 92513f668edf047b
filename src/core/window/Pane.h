#pragma once
// What the run needs of a result pane: a read-only list of text lines.
#include <cstddef>
#include <string_view>

#include "window/PaneLines.h"

namespace pomurina {

class Pane {
public:
    virtual ~Pane() = default;
    virtual void Clear() = 0;
    // The lines become exactly the source's lines, in one operation.
    virtual void ReplaceAll(SharedLineSource source) = 0;
    virtual void Append(std::string_view line) = 0;
    // Appends lines first .. first + count - 1 of a shared collection (the
    // live panes of a run).
    virtual void AppendRange(const SharedLineSource& source, std::size_t first,
                             std::size_t count) = 0;
    void AppendFrom(const SharedLineSource& source, std::size_t index) {
        AppendRange(source, index, 1);
    }
    // 0 <= index <= Count(); index == Count() appends.
    virtual void Insert(std::size_t index, std::string_view line) = 0;
    virtual const PaneLines& Lines() const = 0;
    std::size_t Count() const { return Lines().Count(); }
};

// A pane that is only its lines: the report tool's and the tests'.
class MemoryPane final : public Pane {
public:
    void Clear() override { m_lines.Clear(); }
    void ReplaceAll(SharedLineSource source) override { m_lines.ReplaceAll(std::move(source)); }
    void Append(std::string_view line) override { m_lines.Append(line); }
    void AppendRange(const SharedLineSource& source, std::size_t first,
                     std::size_t count) override {
        m_lines.AppendRange(source, first, count);
    }
    void Insert(std::size_t index, std::string_view line) override { m_lines.Insert(index, line); }
    const PaneLines& Lines() const override { return m_lines; }

private:
    PaneLines m_lines;
};

}  // namespace pomurina
