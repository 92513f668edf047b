#include "TerminalProgress.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>

#include "text/Cp932.h"
#include "text/TerminalText.h"

namespace pomurina {
namespace {

constexpr auto kRedraw = std::chrono::milliseconds(250);

bool IsWide(std::uint32_t cp) {
    return (cp >= 0x1100 && cp <= 0x115F) || (cp >= 0x2E80 && cp <= 0xA4CF) ||
           (cp >= 0xAC00 && cp <= 0xD7A3) || (cp >= 0xF900 && cp <= 0xFAFF) ||
           (cp >= 0xFE30 && cp <= 0xFE4F) || (cp >= 0xFF00 && cp <= 0xFF60) ||
           (cp >= 0xFFE0 && cp <= 0xFFE6) || cp >= 0x20000;
}

int TerminalColumns(int fd) {
    winsize size{};
    if (::ioctl(fd, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
    return 80;
}

void WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n <= 0) return;  // a terminal that can't be written shows nothing
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
}

}  // namespace

std::string ProgressText(const ProgressState& state) {
    if (!state.activity.empty()) return state.activity;
    // The log is read before the run writes its next line.
    if (state.lastLine.empty() || state.lastLine == Utf8ToCp932("初期化しています..."))
        return "ログを読み込んでいます...";
    // The line may name a log: its controls show rather than act.
    std::string text = VisibleControls(Cp932ToUtf8(state.lastLine));
    if (state.lastLine == Utf8ToCp932("データを集計しています...") && state.maximum > 0) {
        const std::int64_t percent = state.position * 100 / state.maximum;
        text += " " + std::to_string(percent) + "% (" + std::to_string(state.position) + "/" +
                std::to_string(state.maximum) + " 行)";
    }
    return text;
}

std::string FitColumns(std::string_view utf8, int columns) {
    int used = 0;
    std::size_t i = 0;
    while (i < utf8.size()) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        std::uint32_t cp = lead;
        if (length > 1) {
            cp = lead & (0x7F >> length);
            for (std::size_t k = 1; k < length && i + k < utf8.size(); ++k)
                cp = cp << 6 | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        }
        const int width = IsWide(cp) ? 2 : 1;
        if (used + width > columns) break;
        used += width;
        i += length;
    }
    return std::string(utf8.substr(0, std::min(i, utf8.size())));
}

TerminalProgress::TerminalProgress(ProgressDisplay& record, int fd, std::chrono::milliseconds delay)
    : m_record(record), m_fd(fd) {
    if (delay.count() <= 0) {
        const std::lock_guard lock(m_mutex);
        Draw();  // at once, before any work begins
    }
    m_redraw.emplace([this, delay] { Loop(delay); });
}

TerminalProgress::~TerminalProgress() {
    Finish();
}

void TerminalProgress::AddLine(std::string_view line) {
    m_record.AddLine(line);
    const std::lock_guard lock(m_mutex);
    m_lastLine = line;
}

void TerminalProgress::SetMaximum(std::int64_t maximum) {
    m_record.SetMaximum(maximum);
    m_maximum.store(maximum, std::memory_order_relaxed);
}

void TerminalProgress::SetPosition(std::int64_t position) {
    m_record.SetPosition(position);
    m_position.store(position, std::memory_order_relaxed);
}

void TerminalProgress::SetActivity(std::string text) {
    const std::lock_guard lock(m_mutex);
    m_activity = std::move(text);
}

void TerminalProgress::Finish() {
    {
        const std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
    m_redraw.reset();
    const std::lock_guard lock(m_mutex);
    if (!m_drawn.empty()) WriteAll(m_fd, "\r\x1b[K");
    m_drawn.clear();
}

// Called with m_mutex held.
void TerminalProgress::Draw() {
    const ProgressState state{m_lastLine, m_maximum.load(std::memory_order_relaxed),
                              m_position.load(std::memory_order_relaxed), m_activity};
    // One column short of the width, so the cursor never wraps to a new line.
    const std::string text = FitColumns(ProgressText(state), TerminalColumns(m_fd) - 1);
    if (text == m_drawn) return;
    WriteAll(m_fd, "\r" + text + "\x1b[K");
    m_drawn = text;
}

void TerminalProgress::Loop(std::chrono::milliseconds delay) {
    const auto start = std::chrono::steady_clock::now();
    std::unique_lock lock(m_mutex);
    for (;;) {
        const auto now = std::chrono::steady_clock::now();
        if (now - start >= delay) Draw();
        if (m_stop) return;
        const auto next = now - start >= delay ? now + kRedraw : start + delay;
        m_wake.wait_until(lock, next, [this] { return m_stop; });
    }
}

}  // namespace pomurina
