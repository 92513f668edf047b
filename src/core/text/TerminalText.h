#pragma once
// Text bound for a terminal (standard error, the progress line), where a
// control character from a log or a file name would act rather than show:
// an escape sequence can retitle the window, move the cursor over earlier
// lines or set the clipboard (OSC 52).
#include <string>
#include <string_view>

namespace pomurina {

// utf8 with every control character written as \xHH (its code in two hex
// digits): C0 controls but the line end and the tab, DEL, the C1 controls
// U+0080 to U+009F, and every byte that is not part of well-formed UTF-8.
std::string VisibleControls(std::string_view utf8);

}  // namespace pomurina
