#pragma once
// The logs of one analysis read as one text: files, plain or compressed
// (told by their first bytes), or the program's standard input, in the
// order given, exactly as if their decompressed contents were joined; a log
// whose last line has no line end is joined as if it had one.
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace pomurina {

// The path that stands for the program's standard input.
inline constexpr std::string_view kStandardInput = "-";

// How a log is named in progress lines and the file field (Shift-JIS): its
// path as given, or "標準入力".
std::string LogNameText(const std::string& path);

// What follows the first log's name when there are more: " 他Nファイル"
// (N = count - 1), or nothing for a single log.
std::string MoreLogsText(std::size_t count);

// Told on the calling thread as the log at index begins (ended false) and
// when it has been read whole (ended true).
using LogReadingTold = std::function<void(std::size_t index, bool ended)>;

// Opens every log, then reads them one after the other.  Throws
// FileOpenError for a log that can't be opened or read (a missing one is
// found before any is read) and CompressedFileError for a damaged or
// truncated compressed one; no text is given then.
std::string ReadLogs(const std::vector<std::string>& paths, const LogReadingTold& told);

}  // namespace pomurina
