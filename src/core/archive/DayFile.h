#pragma once
// One day file of the archive: the day's lines, each ended by LF, as one
// zstd frame with its checksum.  A day file is replaced whole or not at all.
#include <optional>
#include <string>
#include <string_view>

namespace pomurina {

// The lines of a day file, or nothing when there is no file at path.
// Throws FileOpenError for a file that can't be read, CompressedFileError
// for a damaged one.
std::optional<std::string> ReadDayFile(const std::string& path);

// Writes lines (each ended by LF) to path, compressed, beside and renamed,
// making the folders it needs (owner-only); throws FileCreateError naming
// the path when it can't, and the old file is then as it was.
void WriteDayFile(const std::string& path, std::string_view lines);

// The two halves of WriteDayFile, so that days may be compressed on several
// threads and written in order: the compressed bytes of lines, and writing
// them as WriteDayFile does.
std::string CompressDayLines(std::string_view lines);
void WriteCompressedDayFile(const std::string& path, std::string_view compressed);

}  // namespace pomurina
