#pragma once
// A file's bytes mapped read-only into the program, guarded: when the file
// shrinks under the mapping (truncated by a log rotation, cut by another
// program, a disk's read error), a read past its new end raises SIGBUS,
// which would end the program.  The guard answers it by putting zero bytes
// where the file's bytes vanished, so the read goes on, and counts it, so
// the program can say the log changed on disk.
#include <cstddef>

namespace pomurina {

// The size bytes of the file open at fd, from its start, or nullptr when the
// system maps no such file (or size is 0).  The bytes must never be written.
const char* MapFileBytes(int fd, std::size_t size);
// Gives a mapping of MapFileBytes back.
void UnmapFileBytes(const char* bytes, std::size_t size);
// How many times the bytes of a mapped file have vanished under the
// program since it started.
std::size_t VanishedFileBytes();

}  // namespace pomurina
