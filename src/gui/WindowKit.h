#pragma once
// What the program's windows share: the font, the icon, how a window is
// shown, menu commands, and the mode without a screen (--dump-state).
#include <QFont>
#include <QIcon>
#include <functional>

class QAction;
class QKeySequence;
class QMenu;
class QWidget;

namespace pomurina {

// "ＭＳ Ｐゴシック" at 12 px, or IPA P Gothic standing in for it.
QFont WindowFont();
// The application icon: a small pink bar graph.
QIcon ProgramIcon();

// A tooltip that shows text as typed: Qt takes a tooltip that looks like
// markup for rich text, so such a text is given escaped.
QString PlainToolTip(const QString& text);

// Without a screen no window is ever shown; everything else runs as usual.
void SetHeadless(bool headless);
bool Headless();

// Gives a group box the design's look: its caption stands in the top line of
// its frame, 6 px below its top edge, so controls placed near the top clear it.
void CaptionInFrame(QWidget* groupBox);

// Shows a window non-modal, or brings it forward when it is shown already.
void ShowNonModal(QWidget* window);

// Qt paints a window only after the event loop has taken its first expose
// event; an analysis run keeps the thread, so a window it shows is taken as
// on screen from the moment it is shown, and repaint() reaches the screen.
void MarkOnScreen(QWidget* window);

// Adds a command named name (its object name) with caption (UTF-8) and keys
// to menu; choosing it runs body guarded (an exception ends in the error box).
QAction* AddCommand(QMenu* menu, const char* name, const char* caption, const QKeySequence& keys,
                    std::function<void()> body);

}  // namespace pomurina
