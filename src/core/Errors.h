#pragma once
// How failures travel, one convention per layer:
// - The core throws the typed exceptions below; each carries the message as
//   Shift-JIS bytes, exactly as the error box shows it (before the full stop).
// - The low-level file helpers (io/FileIo, io/LogFile, io/FileReplacement,
//   lists/RecentFiles, report/ReportStream) return 0 or an error number
//   instead, because the caller decides what the failure means: an open
//   error naming the file (FileOpenFailure), a create error, or a message of
//   its own such as the FTP fetch's cause.
// - What can end in several ways returns its outcome (the FTP session's
//   TransferOutcome, the fetch's FetchOutcome, a parsed command line or its
//   problem), never a bool with the reason kept aside for a later call.
// - The windows catch at the edge of every handler (Guarded) and show the
//   box; the programs' top functions return the exit status, their messages
//   already printed.
#include <cstddef>
#include <exception>
#include <string>
#include <string_view>

namespace pomurina {

// Base of every error this program raises; the message is Shift-JIS bytes.
class Error : public std::exception {
public:
    explicit Error(std::string message) : m_message(std::move(message)) {}
    const char* what() const noexcept override { return m_message.c_str(); }
    const std::string& Message() const noexcept { return m_message; }

private:
    std::string m_message;
};

// A text that is not a number: "'%s' は整数ではありません" and its kin.
class ConvertError : public Error {
    using Error::Error;
};

// A file that can't be opened for reading: "ファイル "%s". %s は開けません".
class FileOpenError : public Error {
    using Error::Error;
};

// A file that can't be created or written: "ファイル "%s". %s を作成できません".
class FileCreateError : public Error {
    using Error::Error;
};

// A compressed log that can't be decompressed: "ファイル "%s". gzip 形式の
// データが壊れているため展開できません" (or "途中で終わっているため").
class CompressedFileError : public Error {
    using Error::Error;
};

// A run that would take more memory than the system leaves it: "ログ "%s"
// を読み込むにはメモリが不足しています (...)", with what it needed and what it may use.
class MemoryShortageError : public Error {
    using Error::Error;
};

// A text-list index beyond the end: "リストのインデックスが範囲を超えています (%d)".
class ListIndexError : public Error {
    using Error::Error;
};

// Text-file input and output: "ファイルが見つかりません" and the like.
class InOutError : public Error {
    using Error::Error;
};

// The message of the exception being handled (call inside a catch block):
// the program's own text, or a Japanese wording of the run-time's failures.
std::string CurrentExceptionMessage();

// The error box's text: a full stop is appended when the message's last
// character sorts byte-wise after ".".
std::string WithFullStop(std::string_view message);

// The messages, built from their placeholders (all Shift-JIS).
std::string IntegerErrorText(std::string_view text);
std::string FloatErrorText(std::string_view text);
std::string FileOpenErrorText(std::string_view fullPath, std::string_view systemText);
std::string FileCreateErrorText(std::string_view fullPath, std::string_view systemText);
std::string ListIndexErrorText(long long index);
// format is the format's name ("gzip"); truncated: the data ends too soon.
std::string CompressedFileErrorText(std::string_view fullPath, std::string_view format,
                                    bool truncated);

// logName as the progress window names it; needed is at least what the run
// asked for, usable what it may take (bytes, shown in MB).
std::string MemoryShortageText(std::string_view logName, std::size_t needed, std::size_t usable);

// The errors for a file (path as the program was given it) that could not be
// opened or created: the messages name its full path and the system's reason.
FileOpenError FileOpenFailure(const std::string& path, int errorNumber);
FileCreateError FileCreateFailure(const std::string& path, int errorNumber);

// Japanese text of a system error number, as the platform would word it,
// without trailing blanks or full stops.
std::string SystemErrorText(int errorNumber);

// The run-time's message for a failed text-file read ("ファイルが見つかりません", ...).
std::string InOutErrorText(int errorNumber);

}  // namespace pomurina
