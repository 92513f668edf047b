#pragma once
// The reading loop of formats whose tool reads one stream after another as
// long as the next begins with the format's signature, and ignores anything
// else after the last ("trailing garbage ignored"): gzip and bzip2.  A
// format gives its signature and one step of its library.
#include <cstddef>
#include <string_view>

#include "io/Decompressor.h"

namespace pomurina {

class StreamSequence : public Decompressor {
public:
    std::size_t Run(std::string_view& input, bool last, char* out, std::size_t room) final;

protected:
    // How many bytes tell whether a stream begins, and whether bytes (that
    // many, or fewer at the file's end) begin one.
    virtual std::size_t SignatureSize() const = 0;
    virtual bool BeginsStream(std::string_view bytes) const = 0;
    // Makes the library ready for a new stream.
    virtual void StartStream() = 0;
    // One call of the library on input and out: advances input, adds to
    // written, and says whether the stream ended.  Throws DamagedData on
    // damage, std::bad_alloc without memory.
    virtual bool Step(std::string_view& input, char* out, std::size_t room,
                      std::size_t& written) = 0;

private:
    enum class State { BetweenStreams, InStream, Ignoring };
    State m_state = State::BetweenStreams;
};

// How many bytes a library call may take or give (their counts are 32-bit).
inline unsigned LibraryChunk(std::size_t size) {
    return static_cast<unsigned>(size < (1u << 30) ? size : (1u << 30));
}

}  // namespace pomurina
