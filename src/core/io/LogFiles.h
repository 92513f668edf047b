#pragma once
// The logs of one analysis read as one text: files, plain or compressed
// (told by their first bytes), or the program's standard input, in the
// order given, exactly as if their decompressed contents were joined; a log
// whose last line has no line end is joined as if it had one.
#include <atomic>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "formats/LogFormat.h"
#include "io/LogText.h"
#include "io/OriginalLog.h"
#include "text/ByteBuffer.h"

namespace pomurina {

// The path that stands for the program's standard input.
inline constexpr std::string_view kStandardInput = "-";

// How a log is named in progress lines and the file field (Shift-JIS): its
// path as given, or "標準入力".
std::string LogNameText(const std::string& path);

// What follows the first log's name when there are more: " 他Nファイル"
// (N = count - 1), or nothing for a single log.
std::string MoreLogsText(std::size_t count);

// Told as the log at index begins (ended false) and when it has been read
// whole (ended true), on the thread that reads.
using LogReadingTold = std::function<void(std::size_t index, bool ended)>;

class OpenLog;

// The logs of a run, every one opened at once (so that the current
// directory may change before they are read, and a missing one is found
// before any is read): throws FileOpenError for one that can't be opened.
class LogReading {
public:
    explicit LogReading(const std::vector<std::string>& paths);
    ~LogReading();
    LogReading(const LogReading&) = delete;
    LogReading& operator=(const LogReading&) = delete;

    // A single regular file whose first bytes are no compressed format's,
    // in a format read as it is (combined, common or unknown).
    bool OnePlainFile();

    // Reads the one plain file whole (see OnePlainFile), charged to budget:
    // maps it when it can (MappedBytes.h), or reads it;
    // throws FileOpenError for a read that fails, MemoryShortageError for a
    // file the budget can't hold (before reading it).
    void ReadPlainFile(ByteBuffer& out, MemoryBudget& budget);

    // Reads the logs into text (held whole, or in blocks), one after the
    // other, the decompressors charged to the text's budget.  Throws FileOpenError for a log that
    // can't be read, CompressedFileError for a damaged or cut compressed
    // one, MemoryShortageError when the budget can't hold what it unpacks
    // and LogText::Stopped when stopped.
    void ReadInto(TextSink& text, const LogReadingTold& told);

    // The format each log was read as (see LogFormat.h), in order; a log not
    // read yet is Unknown.
    const std::vector<LogFormat>& Formats() const { return m_formats; }

    // Asks ReadInto to keep each converted log as its file has it (for the
    // raw-log pane; see OriginalLog.h).
    void KeepOriginals() { m_keepOriginals = true; }
    // Once read: for each log, its file's lines when it was converted and
    // kept, else null.
    const std::vector<std::shared_ptr<const OriginalLog>>& Originals() const { return m_originals; }

    // How far the reading has got through the files' bytes (any thread),
    // and their size in all when every log is a file.
    std::size_t BytesRead() const { return m_bytesRead.load(std::memory_order_relaxed); }
    std::size_t TotalSize() const { return m_totalSize; }

private:
    std::vector<std::unique_ptr<OpenLog>> m_logs;
    std::vector<LogFormat> m_formats;
    bool m_keepOriginals = false;
    std::vector<std::shared_ptr<const OriginalLog>> m_originals;
    std::size_t m_totalSize = 0;
    std::atomic<std::size_t> m_bytesRead{0};
};

// The format the log at path is read as, told from its first lines (after
// unpacking), as a run tells it; nothing when it can't be read or has no
// text.
std::optional<LogFormat> FirstLinesFormat(const std::string& path);

// Opens and reads the logs into a string (what the tests look at).
std::string ReadLogs(const std::vector<std::string>& paths, const LogReadingTold& told);

}  // namespace pomurina
