#pragma once
// Reading a log whole, as the analysis loads it: straight into memory that
// is never filled with zeros first, a large file in parts on every core at
// once.  The file is read, never mapped: a log that shrinks while it is read
// (rotation by copying and truncating) only gives fewer bytes.
#include <cstddef>
#include <string>

#include "text/ByteBuffer.h"

namespace pomurina {

// Reads the regular file at path into out; returns 0 or the error number,
// refusing what ReadWholeFile refuses.  Bytes that a truncation took away
// while it was read are left out from the first of them on; a file that grew
// meanwhile is read on to its new end.
int ReadLogFile(const std::string& path, ByteBuffer& out);

// The same for a file already open as fd, size bytes long when it was opened
// (the descriptor stays open).
int ReadLogFile(int fd, std::size_t size, ByteBuffer& out);

}  // namespace pomurina
