// zstd through libzstd: frames one after the other, skippable frames
// skipped, content checksums verified where the file has them.
#include <zstd.h>
#include <zstd_errors.h>

#include <new>

#include "io/Decompressor.h"

namespace pomurina {
namespace {

class ZstdDecompressor final : public Decompressor {
public:
    ZstdDecompressor() : m_context(ZSTD_createDCtx()) {
        if (!m_context) throw std::bad_alloc();
        // Logs compressed with --long (windows up to 2 GiB) are read too.
        ZSTD_DCtx_setParameter(m_context, ZSTD_d_windowLogMax, 31);
    }
    ~ZstdDecompressor() override { ZSTD_freeDCtx(m_context); }
    ZstdDecompressor(const ZstdDecompressor&) = delete;
    ZstdDecompressor& operator=(const ZstdDecompressor&) = delete;

    std::size_t Run(std::string_view& input, bool last, char* out, std::size_t room) override {
        ZSTD_outBuffer target{out, room, 0};
        while (target.pos < room) {
            ZSTD_inBuffer source{input.data(), input.size(), 0};
            const std::size_t outBefore = target.pos;
            const std::size_t result = ZSTD_decompressStream(m_context, &target, &source);
            input.remove_prefix(source.pos);
            if (ZSTD_isError(result)) {
                if (ZSTD_getErrorCode(result) == ZSTD_error_memory_allocation)
                    throw std::bad_alloc();
                throw DamagedData(false);
            }
            const bool progress = source.pos > 0 || target.pos > outBefore;
            // 0: a frame is whole and flushed; otherwise more is to come.
            // (Called again without input there, it hints at the next
            // frame's header instead.)
            if (progress) m_inFrame = result != 0;
            if (!progress) {
                if (!input.empty()) throw DamagedData(false);
                if (last && m_inFrame) throw DamagedData(true);
                break;
            }
        }
        return target.pos;
    }

    std::size_t MemoryInUse() const override { return ZSTD_sizeof_DCtx(m_context); }

private:
    ZSTD_DCtx* m_context;
    bool m_inFrame = false;
};

}  // namespace

std::unique_ptr<Decompressor> MakeZstdDecompressor() {
    return std::make_unique<ZstdDecompressor>();
}

}  // namespace pomurina
