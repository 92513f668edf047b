#include "io/Decompressor.h"

namespace pomurina {

std::unique_ptr<Decompressor> MakeDecompressor(CompressionFormat format) {
    switch (format) {
        case CompressionFormat::Gzip:
            return MakeGzipDecompressor();
        case CompressionFormat::Bzip2:
            return MakeBzip2Decompressor();
        case CompressionFormat::Xz:
            return MakeXzDecompressor();
        case CompressionFormat::Zstd:
            return MakeZstdDecompressor();
        case CompressionFormat::None:
            break;
    }
    return nullptr;
}

}  // namespace pomurina
