#pragma once
// The progress window TForm2 ("アクション"): stays on top, fixed border,
// close button only.  A run shows it, writes its message lines and moves its
// bar; it is the run's ProgressDisplay.
#include <QWidget>
#include <chrono>
#include <functional>

#include "window/ProgressDisplay.h"

class QGroupBox;
class QPlainTextEdit;
class QProgressBar;

namespace pomurina {

class TForm2 final : public QWidget, public ProgressDisplay {
public:
    explicit TForm2(QWidget* parent = nullptr);

    QProgressBar* ProgressBar1;
    QGroupBox* GroupBox2;
    QPlainTextEdit* Memo2;

    void Show() override;
    void Hide() override;
    bool IsShown() const override { return m_shown; }
    void AddLine(std::string_view line) override;
    std::vector<std::string> MessageLines() const override { return m_lines; }
    void SetMaximum(std::int64_t maximum) override;
    // Counted here; the bar follows at the next refresh (every ~50 ms at most).
    void SetPosition(std::int64_t position) override;
    std::int64_t Maximum() const override { return m_maximum; }
    std::int64_t Position() const override { return m_position; }

    // Called at every refresh before the window repaints (the main window
    // hands its waiting pane rows to their views there).
    void SetRefreshHook(std::function<void()> hook) { m_refreshHook = std::move(hook); }
    // Brings the bar up to date and repaints the window now, without a trip
    // through the event loop (a run keeps the thread).
    void RefreshNow();

protected:
    // The close button only hides the window; the next run shows it again.
    void closeEvent(QCloseEvent* event) override;

private:
    bool m_shown = false;
    std::vector<std::string> m_lines;
    std::int64_t m_maximum = 100;
    std::int64_t m_position = 0;
    std::chrono::steady_clock::time_point m_lastRefresh;
    std::function<void()> m_refreshHook;
};

// The progress window of the process.
extern TForm2* Form2;

}  // namespace pomurina
