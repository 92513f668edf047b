#pragma once
// The report tool's progress on a terminal, as the window's progress bar
// shows it: what the tool is doing (reading the log, then the lines
// classified with a percentage, then writing), on one line redrawn in place
// at most four times a second once the work has taken longer than a moment,
// and cleared at the end.  Every call also reaches the window's own record,
// so the dump stays the same.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "parallel/LongTask.h"
#include "window/ProgressDisplay.h"

namespace pomurina {

// What the progress line says.
struct ProgressState {
    std::string lastLine;  // the run's last progress line (Shift-JIS)
    std::int64_t maximum = 0;
    std::int64_t position = 0;
    std::string activity;  // what the tool does after the run (UTF-8), if anything
};

// The progress line (UTF-8) for a state.
std::string ProgressText(const ProgressState& state);

// The first characters of utf8 that fit in columns, a wide (East Asian)
// character taking two.
std::string FitColumns(std::string_view utf8, int columns);

class TerminalProgress final : public ProgressDisplay {
public:
    // Draws on the terminal fd from delay after now on; record keeps the state.
    TerminalProgress(ProgressDisplay& record, int fd, std::chrono::milliseconds delay);
    ~TerminalProgress() override;
    TerminalProgress(const TerminalProgress&) = delete;
    TerminalProgress& operator=(const TerminalProgress&) = delete;

    void Show() override { m_record.Show(); }
    void Hide() override { m_record.Hide(); }
    bool IsShown() const override { return m_record.IsShown(); }
    void AddLine(std::string_view line) override;
    std::vector<std::string> MessageLines() const override { return m_record.MessageLines(); }
    void SetMaximum(std::int64_t maximum) override;
    void SetPosition(std::int64_t position) override;
    std::int64_t Maximum() const override { return m_record.Maximum(); }
    std::int64_t Position() const override { return m_record.Position(); }

    // Shows what the tool does now, after the run (UTF-8).
    void SetActivity(std::string text);
    // Stops drawing and clears the line; later calls draw nothing.
    void Finish();

private:
    void Draw();
    void Loop(std::chrono::milliseconds delay);

    ProgressDisplay& m_record;
    const int m_fd;
    std::atomic<std::int64_t> m_maximum{0};
    std::atomic<std::int64_t> m_position{0};
    std::mutex m_mutex;  // guards everything below
    std::condition_variable m_wake;
    std::string m_lastLine;
    std::string m_activity;
    std::string m_drawn;  // the text on the terminal now
    bool m_stop = false;
    std::optional<LongTask> m_redraw;  // draws nothing when no thread could be had
};

}  // namespace pomurina
