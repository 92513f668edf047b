#pragma once
// The compressed forms a log may arrive in, told by the file's first bytes
// (never by its name: a rotated access_log.1 may be compressed, and a .gz
// name may hold plain text).
#include <cstddef>
#include <string_view>

namespace pomurina {

enum class CompressionFormat { None, Gzip, Bzip2, Xz, Zstd };

// How many first bytes tell every format apart.
constexpr std::size_t kFormatProbeBytes = 6;

// The format whose signature begins bytes; None for anything else,
// including a text shorter than a signature.
CompressionFormat DetectCompression(std::string_view bytes);

// The suffixes the names of compressed logs usually end in, in lower case.
inline constexpr std::string_view kCompressedSuffixes[] = {".gz", ".bz2", ".xz", ".zst"};

// The format's usual name ("gzip", "bzip2", "xz", "zstd"; "" for None).
const char* CompressionName(CompressionFormat format);

}  // namespace pomurina
