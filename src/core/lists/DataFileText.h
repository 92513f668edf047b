#pragma once
// The small files the window program keeps in materia/ for itself (the
// recent files, the window's settings): how one is read, and how a value
// whose bytes may be anything (a path) is kept within one line of it.
#include <cstddef>
#include <string>
#include <string_view>

namespace pomurina {

// Reads the file at path whole into bytes.  Returns 0, with bytes empty when
// there is no such file (ENOENT or ENOTDIR: not written yet); EISDIR or EINVAL for a directory, FIFO or device,
// which would block or never end; EFBIG beyond largest bytes; else the
// error number of the read.
int ReadDataFile(const std::string& path, std::size_t largest, std::string& bytes);

// A value as one line's text: "%", CR, LF and TAB as %25, %0D, %0A and %09.
std::string EscapeLineValue(std::string_view value);
// The value back from such a text (the escapes' letters in either case).
std::string UnescapeLineValue(std::string_view text);

}  // namespace pomurina
