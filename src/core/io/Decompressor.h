#pragma once
// Turning one compressed file back into its bytes, piece by piece as its
// compressed bytes arrive: the same reading loop serves every format.
#include <cstddef>
#include <exception>
#include <memory>
#include <string_view>

#include "io/CompressionFormat.h"

namespace pomurina {

// Thrown by a decompressor: the data breaks its format (corrupt, or a
// checksum that doesn't match), or the file ends inside a stream.
class DamagedData : public std::exception {
public:
    explicit DamagedData(bool truncated) : m_truncated(truncated) {}
    bool Truncated() const { return m_truncated; }
    const char* what() const noexcept override { return "damaged compressed data"; }

private:
    bool m_truncated;
};

class Decompressor {
public:
    virtual ~Decompressor() = default;
    // Decompresses from the front of input (advanced past the bytes used)
    // into out, at most room bytes, and returns how many it wrote.  It
    // returns with room left only when input is used up or, unless last,
    // when the next decision needs bytes that input doesn't hold yet (the
    // caller then keeps the rest and adds more).  last says input ends with
    // the file's last byte: returning with room left then means the whole
    // file has been decompressed.  Throws DamagedData, or std::bad_alloc.
    virtual std::size_t Run(std::string_view& input, bool last, char* out, std::size_t room) = 0;
    // The memory the library holds for it now, where it can grow large
    // (a window as large as the file asks for).
    virtual std::size_t MemoryInUse() const { return 0; }
};

// Every stream of the file is read, one after the other (as cat a.gz b.gz
// makes them), with what the format's own tool ignores after the last.
std::unique_ptr<Decompressor> MakeDecompressor(CompressionFormat format);

// The formats' own decompressors (one file each).
std::unique_ptr<Decompressor> MakeGzipDecompressor();
std::unique_ptr<Decompressor> MakeBzip2Decompressor();
std::unique_ptr<Decompressor> MakeXzDecompressor();
std::unique_ptr<Decompressor> MakeZstdDecompressor();

}  // namespace pomurina
