#include "text/ByteBuffer.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

#include "text/MappedBytes.h"

namespace pomurina {
namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;
// Below this a block comes from the heap as any other.
constexpr std::size_t kMapFrom = 8 * kHugePage;
// Where an empty block points: never null, so that it can be searched.
char g_empty[1];

}  // namespace

ByteBuffer::ByteBuffer(std::size_t size) : ByteBuffer(size, false) {}

ByteBuffer ByteBuffer::Reserved(std::size_t size) {
    return ByteBuffer(std::max(size, kMapFrom), true);
}

std::optional<ByteBuffer> ByteBuffer::MappedFile(int fd, std::size_t size) {
    const char* bytes = MapFileBytes(fd, size);
    if (!bytes) return std::nullopt;
    ByteBuffer mapped;
    mapped.m_data = const_cast<char*>(bytes);
    mapped.m_size = size;
    mapped.m_mapped = size;
    mapped.m_fromFile = true;
    return mapped;
}

ByteBuffer::ByteBuffer(std::size_t size, bool reserve) : m_size(size) {
    if (size == 0) {
        m_data = g_empty;
    } else if (size >= kMapFrom) {
        // Anonymous memory, not a file's: nothing here can vanish under the
        // program when a file shrinks.
        const std::size_t mapped = (size + kHugePage - 1) / kHugePage * kHugePage;
        void* block = ::mmap(nullptr, mapped, PROT_READ | PROT_WRITE,
                             MAP_PRIVATE | MAP_ANONYMOUS | (reserve ? MAP_NORESERVE : 0), -1, 0);
        if (block == MAP_FAILED) throw std::bad_alloc();
#if defined(MADV_HUGEPAGE)
        (void)::madvise(block, mapped, MADV_HUGEPAGE);  // a hint; without it, small pages
#endif
        m_data = static_cast<char*>(block);
        m_mapped = mapped;
    } else {
        m_data = static_cast<char*>(std::malloc(size));
        if (!m_data) throw std::bad_alloc();
    }
}

ByteBuffer::~ByteBuffer() {
    Release();
}

ByteBuffer::ByteBuffer(ByteBuffer&& other) noexcept
    : m_data(std::exchange(other.m_data, nullptr)),
      m_size(std::exchange(other.m_size, 0)),
      m_mapped(std::exchange(other.m_mapped, 0)),
      m_fromFile(std::exchange(other.m_fromFile, false)) {}

ByteBuffer& ByteBuffer::operator=(ByteBuffer&& other) noexcept {
    if (this != &other) {
        Release();
        m_data = std::exchange(other.m_data, nullptr);
        m_size = std::exchange(other.m_size, 0);
        m_mapped = std::exchange(other.m_mapped, 0);
        m_fromFile = std::exchange(other.m_fromFile, false);
    }
    return *this;
}

void ByteBuffer::Shrink(std::size_t size) {
    if (size < m_size) m_size = size;
}

void ByteBuffer::Release() {
    if (m_fromFile)
        UnmapFileBytes(m_data, m_mapped);
    else if (m_mapped)
        ::munmap(m_data, m_mapped);
    else if (m_data != g_empty)
        std::free(m_data);
    m_data = nullptr;
    m_size = 0;
    m_mapped = 0;
    m_fromFile = false;
}

}  // namespace pomurina
