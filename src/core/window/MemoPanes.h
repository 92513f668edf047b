#pragma once
// The two operations of the main window on its result panes that a run calls.
#include "window/ResultWindow.h"

namespace pomurina {

// Empties seventeen panes; NamaLog, POST404Memo and POST403Memo keep their
// lines until the run replaces them.
void MemoFree(ResultWindow& window);

// Puts the explanatory header lines on top of nine panes.
void MessageToMemo(ResultWindow& window);

// How many lines MessageToMemo puts on top of pane, its rule the last of
// them; 0 for the panes it leaves alone.
std::size_t MessageLineCount(PaneId pane);

// The rule under every header: 45 hyphen-minus characters.
extern const std::string_view kRule;

}  // namespace pomurina
