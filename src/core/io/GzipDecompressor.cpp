// gzip through zlib: the CRC-32 and length of every member are checked.
#include <zlib.h>

#include <algorithm>
#include <new>

#include "io/Decompressor.h"

namespace pomurina {
namespace {

class GzipDecompressor final : public Decompressor {
public:
    GzipDecompressor() {
        // 15 + 16: the largest window, gzip's header and trailer only.
        if (inflateInit2(&m_z, 15 + 16) != Z_OK) throw std::bad_alloc();
    }
    ~GzipDecompressor() override { inflateEnd(&m_z); }
    GzipDecompressor(const GzipDecompressor&) = delete;
    GzipDecompressor& operator=(const GzipDecompressor&) = delete;

    std::size_t Run(std::string_view& input, bool last, char* out, std::size_t room) override {
        std::size_t written = 0;
        while (written < room) {
            if (m_state == State::BetweenMembers) {
                // gzip itself reads on when another member follows and
                // ignores anything else ("trailing garbage ignored").
                if (input.size() < 2 && !last) return written;
                if (!input.starts_with("\x1f\x8b")) m_state = State::Ignoring;
                if (m_state == State::Ignoring) {
                    input = {};
                    return written;
                }
                if (m_started) inflateReset(&m_z);
                m_started = true;
                m_state = State::InMember;
            } else if (m_state == State::Ignoring) {
                input = {};
                return written;
            }
            m_z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(input.data()));
            m_z.avail_in = static_cast<uInt>(std::min<std::size_t>(input.size(), 1u << 30));
            m_z.next_out = reinterpret_cast<Bytef*>(out + written);
            m_z.avail_out = static_cast<uInt>(std::min<std::size_t>(room - written, 1u << 30));
            const uInt inBefore = m_z.avail_in;
            const uInt outBefore = m_z.avail_out;
            const int result = inflate(&m_z, Z_NO_FLUSH);
            input.remove_prefix(inBefore - m_z.avail_in);
            written += outBefore - m_z.avail_out;
            if (result == Z_STREAM_END) {
                m_state = State::BetweenMembers;
            } else if (result == Z_MEM_ERROR) {
                throw std::bad_alloc();
            } else if (result != Z_OK && result != Z_BUF_ERROR) {
                throw DamagedData(false);  // Z_DATA_ERROR: bad data, CRC or length
            } else if (input.empty()) {
                // Everything given is used and the member goes on.
                if (written == room) break;
                if (last) throw DamagedData(true);
                return written;
            } else if (inBefore == m_z.avail_in && outBefore == m_z.avail_out) {
                throw DamagedData(false);  // stuck with bytes and room: never so in zlib
            }
        }
        return written;
    }

private:
    enum class State { BetweenMembers, InMember, Ignoring };
    z_stream m_z{};
    State m_state = State::BetweenMembers;
    bool m_started = false;
};

}  // namespace

std::unique_ptr<Decompressor> MakeGzipDecompressor() {
    return std::make_unique<GzipDecompressor>();
}

}  // namespace pomurina
