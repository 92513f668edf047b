#pragma once
// The two operations of the main window on its result panes that a run calls.
#include "analysis/ResultWindow.h"

namespace pomurina {

// Empties seventeen panes; NamaLog, POST404Memo and POST403Memo keep their
// lines until the run replaces them.
void MemoFree(ResultWindow& window);

// Puts the explanatory header lines on top of nine panes.
void MessageToMemo(ResultWindow& window);

// The rule under every header: 45 hyphen-minus characters.
extern const std::string_view kRule;

}  // namespace pomurina
