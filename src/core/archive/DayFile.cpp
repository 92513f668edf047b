#include "archive/DayFile.h"

#include <zstd.h>

#include <cerrno>
#include <memory>
#include <new>

#include "Errors.h"
#include "io/CompressionFormat.h"
#include "io/Decompressor.h"
#include "io/FileIo.h"
#include "io/FileReplacement.h"

namespace pomurina {
namespace {

// zstd's default level: several hundred MB a second, a log to a tenth or less.
constexpr int kLevel = 3;

// Makes the folders above path that are missing; returns 0 or the error number.
int MakeFoldersAbove(const std::string& path) {
    for (std::size_t slash = path.find('/', 1); slash != std::string::npos;
         slash = path.find('/', slash + 1)) {
        const std::string folder = path.substr(0, slash);
        if (CurrentFileIo().mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return errno;
    }
    return 0;
}

}  // namespace

std::string CompressDayLines(std::string_view lines) {
    const std::unique_ptr<ZSTD_CCtx, std::size_t (*)(ZSTD_CCtx*)> context(ZSTD_createCCtx(),
                                                                          ZSTD_freeCCtx);
    if (!context) throw std::bad_alloc();
    ZSTD_CCtx_setParameter(context.get(), ZSTD_c_compressionLevel, kLevel);
    ZSTD_CCtx_setParameter(context.get(), ZSTD_c_checksumFlag, 1);
    std::string out(ZSTD_compressBound(lines.size()), '\0');
    const std::size_t size =
        ZSTD_compress2(context.get(), out.data(), out.size(), lines.data(), lines.size());
    if (ZSTD_isError(size)) throw std::bad_alloc();  // only memory can fail with room enough
    out.resize(size);
    return out;
}

std::optional<std::string> ReadDayFile(const std::string& path) {
    std::string compressed;
    if (const int error = ReadWholeFile(path, compressed)) {
        if (error == ENOENT) return std::nullopt;
        throw FileOpenFailure(path, error);
    }
    const std::unique_ptr<Decompressor> decompressor = MakeDecompressor(CompressionFormat::Zstd);
    std::string lines;
    std::string_view input = compressed;
    try {
        // An empty file is no zstd frame: damaged too.
        if (compressed.empty()) throw DamagedData(true);
        for (;;) {
            const std::size_t at = lines.size();
            const std::size_t room = std::max<std::size_t>(compressed.size() * 4, 1 << 16);
            lines.resize(at + room);
            const std::size_t written = decompressor->Run(input, true, lines.data() + at, room);
            lines.resize(at + written);
            if (written < room) break;
        }
    } catch (const DamagedData& damage) {
        throw CompressedFileError(
            CompressedFileErrorText(PathText(FullPath(path)), "zstd", damage.Truncated()));
    }
    return lines;
}

void WriteDayFile(const std::string& path, std::string_view lines) {
    WriteCompressedDayFile(path, CompressDayLines(lines));
}

void WriteCompressedDayFile(const std::string& path, std::string_view compressed) {
    int error = MakeFoldersAbove(path);
    if (!error) error = ReplaceFile(path, compressed);
    if (error) throw FileCreateFailure(path, error);
}

}  // namespace pomurina
