#pragma once
// The log file's name in a fetch: the same name on the server (after the
// remote directory) and in logs/ (the local copy).
#include <ctime>
#include <string>
#include <string_view>

namespace pomurina {

// "access_log_" followed by the local date of when as yyyymmdd: the name a
// host gives the day's log, offered when nothing else is named.
std::string DefaultLogFileName(std::time_t when);

// Throws Error unless name (UTF-8: as typed, or as the file system will see
// it) can be the local copy's name directly inside logs/: not empty, not "."
// or "..", no "/", "\" or control character.
void CheckLogFileName(std::string_view name);

// Whether the name ends in .gz, .bz2, .xz or .zst (any letter case): such a
// file travels in binary, byte for byte; other names travel as text.
bool IsCompressedLogName(std::string_view name);

}  // namespace pomurina
