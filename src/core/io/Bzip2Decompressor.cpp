// bzip2 through libbz2: every block's CRC and the stream's are checked.
#include <bzlib.h>

#include <new>

#include "io/CompressionFormat.h"
#include "io/StreamSequence.h"

namespace pomurina {
namespace {

class Bzip2Decompressor final : public StreamSequence {
public:
    Bzip2Decompressor() = default;
    ~Bzip2Decompressor() override { End(); }
    Bzip2Decompressor(const Bzip2Decompressor&) = delete;
    Bzip2Decompressor& operator=(const Bzip2Decompressor&) = delete;

private:
    // "BZh" and the block size, 1 to 9 hundred kilobytes.
    std::size_t SignatureSize() const override { return 4; }
    bool BeginsStream(std::string_view bytes) const override {
        return DetectCompression(bytes) == CompressionFormat::Bzip2;
    }
    void StartStream() override {
        End();
        const int init = BZ2_bzDecompressInit(&m_bz, 0, 0);
        if (init == BZ_MEM_ERROR) throw std::bad_alloc();
        if (init != BZ_OK) throw DamagedData(false);
        m_open = true;
    }
    bool Step(std::string_view& input, char* out, std::size_t room, std::size_t& written) override {
        m_bz.next_in = const_cast<char*>(input.data());
        m_bz.avail_in = LibraryChunk(input.size());
        m_bz.next_out = out;
        m_bz.avail_out = LibraryChunk(room);
        const unsigned inBefore = m_bz.avail_in, outBefore = m_bz.avail_out;
        const int result = BZ2_bzDecompress(&m_bz);
        input.remove_prefix(inBefore - m_bz.avail_in);
        written += outBefore - m_bz.avail_out;
        if (result == BZ_MEM_ERROR) throw std::bad_alloc();
        if (result != BZ_OK && result != BZ_STREAM_END) throw DamagedData(false);  // data or CRC
        return result == BZ_STREAM_END;
    }
    void End() {
        if (m_open) BZ2_bzDecompressEnd(&m_bz);
        m_open = false;
        m_bz = bz_stream{};
    }

    bz_stream m_bz{};
    bool m_open = false;
};

}  // namespace

std::unique_ptr<Decompressor> MakeBzip2Decompressor() {
    return std::make_unique<Bzip2Decompressor>();
}

}  // namespace pomurina
