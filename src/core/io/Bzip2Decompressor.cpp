// bzip2 through libbz2: every block's CRC and the stream's are checked.
#include <bzlib.h>

#include <algorithm>
#include <new>

#include "io/Decompressor.h"

namespace pomurina {
namespace {

class Bzip2Decompressor final : public Decompressor {
public:
    Bzip2Decompressor() = default;
    ~Bzip2Decompressor() override { End(); }
    Bzip2Decompressor(const Bzip2Decompressor&) = delete;
    Bzip2Decompressor& operator=(const Bzip2Decompressor&) = delete;

    std::size_t Run(std::string_view& input, bool last, char* out, std::size_t room) override {
        std::size_t written = 0;
        while (written < room) {
            if (m_state == State::BetweenStreams) {
                // bzip2 reads on when another stream follows ("BZh" and its
                // block size) and ignores anything else.
                if (input.size() < 4 && !last) return written;
                if (input.size() < 4 || !input.starts_with("BZh") || input[3] < '1' ||
                    input[3] > '9') {
                    m_state = State::Ignoring;
                } else {
                    End();
                    const int init = BZ2_bzDecompressInit(&m_bz, 0, 0);
                    if (init == BZ_MEM_ERROR) throw std::bad_alloc();
                    if (init != BZ_OK) throw DamagedData(false);
                    m_open = true;
                    m_state = State::InStream;
                }
            }
            if (m_state == State::Ignoring) {
                input = {};
                return written;
            }
            m_bz.next_in = const_cast<char*>(input.data());
            m_bz.avail_in = static_cast<unsigned>(std::min<std::size_t>(input.size(), 1u << 30));
            m_bz.next_out = out + written;
            m_bz.avail_out = static_cast<unsigned>(std::min<std::size_t>(room - written, 1u << 30));
            const unsigned inBefore = m_bz.avail_in;
            const unsigned outBefore = m_bz.avail_out;
            const int result = BZ2_bzDecompress(&m_bz);
            input.remove_prefix(inBefore - m_bz.avail_in);
            written += outBefore - m_bz.avail_out;
            if (result == BZ_STREAM_END) {
                m_state = State::BetweenStreams;
            } else if (result == BZ_MEM_ERROR) {
                throw std::bad_alloc();
            } else if (result != BZ_OK) {
                throw DamagedData(false);  // BZ_DATA_ERROR: bad data or CRC
            } else if (input.empty()) {
                if (written == room) break;
                if (last) throw DamagedData(true);
                return written;
            } else if (inBefore == m_bz.avail_in && outBefore == m_bz.avail_out) {
                throw DamagedData(false);
            }
        }
        return written;
    }

private:
    void End() {
        if (m_open) BZ2_bzDecompressEnd(&m_bz);
        m_open = false;
        m_bz = bz_stream{};
    }

    enum class State { BetweenStreams, InStream, Ignoring };
    bz_stream m_bz{};
    bool m_open = false;
    State m_state = State::BetweenStreams;
};

}  // namespace

std::unique_ptr<Decompressor> MakeBzip2Decompressor() {
    return std::make_unique<Bzip2Decompressor>();
}

}  // namespace pomurina
