#pragma once
// Names from outside (typed by the user, sent by a server) that become the
// last component of a path: they must name a file inside the folder they are
// joined to, and nothing else.
#include <string_view>

namespace pomurina {

// Whether name (UTF-8 or any ASCII-compatible bytes) can be joined to a
// folder as one file name: not empty, not "." or "..", no "/" or "\",
// no zero byte or other control character (C0, DEL, C1).
bool IsPlainFileName(std::string_view name);

}  // namespace pomurina
