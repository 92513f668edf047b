#pragma once
// The windows start-up creates, owned in one place.  The process-wide
// pointers (Form1, Form2, VersionINFO, Domein, UTF, InsightForm, FTP) point at them while
// they live, for the code that reaches a window through them; they own nothing.
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

namespace pomurina {

class StartedWindows {
public:
    StartedWindows() = default;
    ~StartedWindows() { Close(); }
    StartedWindows(const StartedWindows&) = delete;
    StartedWindows& operator=(const StartedWindows&) = delete;

    // Creates a window of type W, owned here, and points pointer at it.
    template <typename W>
    W& Create(W*& pointer) {
        auto window = std::make_unique<W>();
        W& created = *window;
        m_windows.push_back({std::move(window), [&pointer] { pointer = nullptr; }});
        pointer = &created;
        return created;
    }

    // Destroys the windows, the last created first, each pointer cleared as
    // its window goes (tests start up more than once).
    void Close();

private:
    struct Owned {
        std::unique_ptr<QWidget> window;
        std::function<void()> clearPointer;
    };
    std::vector<Owned> m_windows;
};

}  // namespace pomurina
