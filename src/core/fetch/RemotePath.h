#pragma once
// The remote name of a log: the settings' directory and the file name, as
// the server is asked for it (Shift-JIS bytes, sent as they are).
#include <string>
#include <string_view>

namespace pomurina {

// directory and fileName joined by one "/" unless the directory ends in one
// already; an empty directory leaves the bare name, which the server takes
// from the login directory.
std::string RemotePath(std::string_view directory, std::string_view fileName);

}  // namespace pomurina
