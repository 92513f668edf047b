#include "io/CompressionFormat.h"

namespace pomurina {

CompressionFormat DetectCompression(std::string_view bytes) {
    const auto begins = [&](std::string_view signature) { return bytes.starts_with(signature); };
    // gzip's magic and its only method, deflate.
    if (begins("\x1f\x8b\x08")) return CompressionFormat::Gzip;
    // "BZh" and the block size, 1 to 9 hundred kilobytes.
    if (begins("BZh") && bytes.size() > 3 && bytes[3] >= '1' && bytes[3] <= '9')
        return CompressionFormat::Bzip2;
    if (begins(std::string_view("\xfd"
                                "7zXZ\0",
                                6)))
        return CompressionFormat::Xz;
    // A zstd frame, or a skippable frame (magic 0x184D2A50 to 0x184D2A5F,
    // little-endian), which only zstd files begin with.
    if (begins("\x28\xb5\x2f\xfd")) return CompressionFormat::Zstd;
    if (bytes.size() >= 4 && (static_cast<unsigned char>(bytes[0]) & 0xf0) == 0x50 &&
        bytes.substr(1, 3) == "\x2a\x4d\x18")
        return CompressionFormat::Zstd;
    return CompressionFormat::None;
}

const char* CompressionName(CompressionFormat format) {
    switch (format) {
        case CompressionFormat::Gzip:
            return "gzip";
        case CompressionFormat::Bzip2:
            return "bzip2";
        case CompressionFormat::Xz:
            return "xz";
        case CompressionFormat::Zstd:
            return "zstd";
        case CompressionFormat::None:
            break;
    }
    return "";
}

}  // namespace pomurina
