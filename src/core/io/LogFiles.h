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
// found before any is read), CompressedFileError for a damaged or
// truncated compressed one, and std::bad_alloc when the logs hold more than
// LargestLogs() bytes; no text is given then.
std::string ReadLogs(const std::vector<std::string>& paths, const LogReadingTold& told);

// The most bytes the logs of one run may hold once read (a small compressed
// file can unpack to far more than the memory holds): the machine's memory,
// unless set otherwise (tests set a small limit; 0 restores the default).
std::size_t LargestLogs();
void SetLargestLogs(std::size_t bytes);

// The most bytes the logs of one run may hold once read (a small compressed
// file can unpack to far more than the memory holds): the machine's memory,
// unless set otherwise (tests set a small limit; 0 restores the default).
std::size_t LargestLogs();
void SetLargestLogs(std::size_t bytes);

}  // namespace pomurina
