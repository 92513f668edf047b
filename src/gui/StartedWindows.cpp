#include "StartedWindows.h"

namespace pomurina {

void StartedWindows::Close() {
    while (!m_windows.empty()) {
        Owned& last = m_windows.back();
        last.window.reset();
        last.clearPointer();
        m_windows.pop_back();
    }
}

}  // namespace pomurina
