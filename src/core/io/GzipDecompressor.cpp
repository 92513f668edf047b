// gzip through zlib: the CRC-32 and length of every member are checked.
#include <zlib.h>

#include <new>

#include "io/StreamSequence.h"

namespace pomurina {
namespace {

class GzipDecompressor final : public StreamSequence {
public:
    GzipDecompressor() {
        // 15 + 16: the largest window, gzip's header and trailer only.
        if (inflateInit2(&m_z, 15 + 16) != Z_OK) throw std::bad_alloc();
    }
    ~GzipDecompressor() override { inflateEnd(&m_z); }
    GzipDecompressor(const GzipDecompressor&) = delete;
    GzipDecompressor& operator=(const GzipDecompressor&) = delete;

private:
    std::size_t SignatureSize() const override { return 2; }
    bool BeginsStream(std::string_view bytes) const override {
        return bytes.starts_with("\x1f\x8b");
    }
    void StartStream() override { inflateReset(&m_z); }
    bool Step(std::string_view& input, char* out, std::size_t room, std::size_t& written) override {
        m_z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(input.data()));
        m_z.avail_in = LibraryChunk(input.size());
        m_z.next_out = reinterpret_cast<Bytef*>(out);
        m_z.avail_out = LibraryChunk(room);
        const uInt inBefore = m_z.avail_in, outBefore = m_z.avail_out;
        const int result = inflate(&m_z, Z_NO_FLUSH);
        input.remove_prefix(inBefore - m_z.avail_in);
        written += outBefore - m_z.avail_out;
        if (result == Z_MEM_ERROR) throw std::bad_alloc();
        // Z_DATA_ERROR: bad data, CRC or length.
        if (result != Z_OK && result != Z_BUF_ERROR && result != Z_STREAM_END)
            throw DamagedData(false);
        return result == Z_STREAM_END;
    }

    z_stream m_z{};
};

}  // namespace

std::unique_ptr<Decompressor> MakeGzipDecompressor() {
    return std::make_unique<GzipDecompressor>();
}

}  // namespace pomurina
