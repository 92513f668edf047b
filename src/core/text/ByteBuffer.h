#pragma once
// A block of bytes of a fixed size that is never filled with zeros first:
// a log of hundreds of megabytes is read straight into it.  Large blocks are
// taken from the system in huge pages where it has them, so that reading
// them costs a few hundred page faults rather than a few hundred thousand.
#include <cstddef>
#include <optional>
#include <string_view>

namespace pomurina {

class ByteBuffer {
public:
    // No bytes.
    ByteBuffer() : ByteBuffer(0) {}
    // size bytes whose content is unset.
    explicit ByteBuffer(std::size_t size);
    // size bytes of address space set aside, memory given page by page as
    // the bytes are written: a text whose size is known only once it is
    // written fills it from the front, and its place never moves.  Throws
    // std::bad_alloc when the system sets aside no such space.
    static ByteBuffer Reserved(std::size_t size);
    // The size bytes of the file open at fd, mapped read-only and guarded
    // (MappedBytes.h); nothing when the system maps no such file.  Its bytes
    // (zero bytes among them, which TextLines leaves out) must never be
    // written: data() is for reading only.
    static std::optional<ByteBuffer> MappedFile(int fd, std::size_t size);
    ~ByteBuffer();
    ByteBuffer(ByteBuffer&& other) noexcept;
    ByteBuffer& operator=(ByteBuffer&& other) noexcept;
    ByteBuffer(const ByteBuffer&) = delete;
    ByteBuffer& operator=(const ByteBuffer&) = delete;

    char* data() { return m_data; }
    const char* data() const { return m_data; }
    std::size_t size() const { return m_size; }
    std::string_view View() const { return {m_data, m_size}; }
    // Mapped from a file (MappedFile): nothing to be written.
    bool IsMappedFile() const { return m_fromFile; }
    // Keeps the first size bytes (size <= size()); the memory stays.
    void Shrink(std::size_t size);

private:
    ByteBuffer(std::size_t size, bool reserve);
    void Release();

    char* m_data = nullptr;  // never null once made with a size, 0 included
    std::size_t m_size = 0;
    std::size_t m_mapped = 0;  // bytes mapped from the system; 0 when allocated
    bool m_fromFile = false;   // mapped from a file, not anonymous memory
};

}  // namespace pomurina
