#include "window/ResultWindow.h"

namespace pomurina {

std::string_view PaneName(PaneId pane) {
    static constexpr std::string_view kNames[kPaneCount] = {
        "NamaLog", "Memo8",           "Memo9",        "HOST404Memo", "HOST403Memo",
        "Memo2",   "CheckDomeinMemo", "Memo7",        "File404Memo", "File403Memo",
        "Memo10",  "Memo4",           "Memo6",        "POST404Memo", "POST403Memo",
        "Memo11",  "Memo5",           "ReferrerList", "ReferrerLog", "RobotsLog"};
    return kNames[static_cast<int>(pane)];
}

}  // namespace pomurina
