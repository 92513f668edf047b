#pragma once
// The error report of every window: an exception that leaves a command or a
// window's creation is caught at the handler's edge (none may cross Qt's
// event loop) and shown in the error box: caption "ポムリナ", the error
// icon, one OK button, the message with the full-stop rule applied.
#include <functional>
#include <new>
#include <string>

#include "Errors.h"

class QWidget;

namespace pomurina {

// Shows message (Shift-JIS, before the full-stop rule) in the error box.
void ShowErrorBox(const std::string& message);

// Shows the box of a failure before the event loop: caption
// "アプリケーション エラー", the error icon, one OK button, text as given.
// With an error box handler set, the text goes there instead.
void ShowApplicationError(const std::string& text);

// Shows an information message: caption "ポムリナ", no icon, one "OK" button.
void ShowInformation(const std::string& message);

// The window that owns the boxes above: a visible window that stays on top
// (the progress window), so that the box is never under it; otherwise the
// active window.
QWidget* BoxOwner();

// Where boxes go instead of the screen (tests; the window program's
// --dump-state writes them to stderr).  Receives the final text (Shift-JIS,
// full stop applied for errors).  An empty handler restores the real boxes.
using MessageBoxHandler = std::function<void(const std::string& text)>;
void SetErrorBoxHandler(MessageBoxHandler handler);
void SetInformationHandler(MessageBoxHandler handler);

// Runs a handler's body; any exception it throws ends in the error box.
template <typename Body>
void Guarded(Body&& body) noexcept {
    try {
        body();
    } catch (...) {
        try {
            ShowErrorBox(CurrentExceptionMessage());
        } catch (...) {
        }
    }
}

}  // namespace pomurina
