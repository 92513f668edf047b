// xz through liblzma: concatenated streams and their padding are read as xz
// reads them; the check of every block is verified.
#include <lzma.h>

#include <algorithm>
#include <cstdint>
#include <new>

#include "io/Decompressor.h"

namespace pomurina {
namespace {

class XzDecompressor final : public Decompressor {
public:
    XzDecompressor() {
        const lzma_ret init = lzma_stream_decoder(&m_lzma, UINT64_MAX, LZMA_CONCATENATED);
        if (init == LZMA_MEM_ERROR) throw std::bad_alloc();
        if (init != LZMA_OK) throw DamagedData(false);
    }
    ~XzDecompressor() override { lzma_end(&m_lzma); }
    XzDecompressor(const XzDecompressor&) = delete;
    XzDecompressor& operator=(const XzDecompressor&) = delete;

    std::size_t Run(std::string_view& input, bool last, char* out, std::size_t room) override {
        std::size_t written = 0;
        while (written < room && !m_ended) {
            m_lzma.next_in = reinterpret_cast<const std::uint8_t*>(input.data());
            m_lzma.avail_in = input.size();
            m_lzma.next_out = reinterpret_cast<std::uint8_t*>(out + written);
            m_lzma.avail_out = room - written;
            const std::size_t outBefore = m_lzma.avail_out;
            const lzma_ret result = lzma_code(&m_lzma, last ? LZMA_FINISH : LZMA_RUN);
            input.remove_prefix(input.size() - m_lzma.avail_in);
            written += outBefore - m_lzma.avail_out;
            switch (result) {
                case LZMA_STREAM_END:
                    m_ended = true;
                    break;
                case LZMA_OK:
                    if (input.empty() && written < room && !last) return written;
                    break;  // with LZMA_FINISH, a stream cut short ends in LZMA_BUF_ERROR
                case LZMA_BUF_ERROR:
                    if (last) throw DamagedData(true);
                    return written;
                case LZMA_MEM_ERROR:
                    throw std::bad_alloc();
                default:
                    throw DamagedData(false);  // data, format or check errors
            }
        }
        if (m_ended) input = {};
        return written;
    }

    std::size_t MemoryInUse() const override {
        return static_cast<std::size_t>(lzma_memusage(&m_lzma));
    }

private:
    lzma_stream m_lzma = LZMA_STREAM_INIT;
    bool m_ended = false;
};

}  // namespace

std::unique_ptr<Decompressor> MakeXzDecompressor() {
    return std::make_unique<XzDecompressor>();
}

}  // namespace pomurina
