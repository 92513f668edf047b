#pragma once
// What the run needs of the progress window: its visibility, its message
// pane (never cleared) and its bar.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pomurina {

class ProgressDisplay {
public:
    virtual ~ProgressDisplay() = default;
    virtual void Show() = 0;
    virtual void Hide() = 0;
    virtual bool IsShown() const = 0;
    virtual void AddLine(std::string_view line) = 0;  // Shift-JIS
    virtual std::vector<std::string> MessageLines() const = 0;
    virtual void SetMaximum(std::int64_t maximum) = 0;
    virtual void SetPosition(std::int64_t position) = 0;
    virtual std::int64_t Maximum() const = 0;
    virtual std::int64_t Position() const = 0;
};

class MemoryProgress final : public ProgressDisplay {
public:
    void Show() override { m_shown = true; }
    void Hide() override { m_shown = false; }
    bool IsShown() const override { return m_shown; }
    void AddLine(std::string_view line) override { m_lines.emplace_back(line); }
    std::vector<std::string> MessageLines() const override { return m_lines; }
    void SetMaximum(std::int64_t maximum) override { m_maximum = maximum; }
    void SetPosition(std::int64_t position) override { m_position = position; }
    std::int64_t Maximum() const override { return m_maximum; }
    std::int64_t Position() const override { return m_position; }

private:
    bool m_shown = false;
    std::vector<std::string> m_lines;
    std::int64_t m_maximum = 100;
    std::int64_t m_position = 0;
};

}  // namespace pomurina
