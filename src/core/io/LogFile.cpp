#include "io/LogFile.h"

#include <cerrno>
#include <cstring>
#include <vector>

#include "io/FileIo.h"
#include "parallel/OrderedWork.h"

namespace pomurina {
namespace {

// A file this large is read in parts at once.
constexpr std::size_t kPartsFrom = std::size_t{32} << 20;

struct Part {
    std::size_t from = 0, to = 0;  // the bytes it is to read
    std::size_t end = 0;           // where it got to
    int error = 0;
};

// Reads part of the file into buffer, stopping early where the file ends now.
void ReadPart(int fd, char* buffer, Part& part) {
    const FileIo& io = CurrentFileIo();
    part.end = part.from;
    while (part.end < part.to) {
        const ssize_t n =
            io.pread(fd, buffer + part.end, part.to - part.end, static_cast<off_t>(part.end));
        if (n < 0) {
            if (errno == EINTR) continue;
            part.error = errno;
            return;
        }
        if (n == 0) return;  // shorter than it was: truncated meanwhile
        part.end += static_cast<std::size_t>(n);
    }
}

// Reads the parts, on the calling thread and the pool's helpers.
void ReadParts(int fd, char* buffer, std::vector<Part>& parts) {
    RunOrdered(
        {parts.size(), 0, 0},
        [&](std::size_t k) {
            ReadPart(fd, buffer, parts[k]);
            return true;
        },
        [](std::size_t) {});
}

// Reads on from offset to the file's end; the bytes after offset.
int ReadOn(int fd, std::size_t offset, std::string& more) {
    const FileIo& io = CurrentFileIo();
    char probe[65536];
    for (;;) {
        const ssize_t n =
            io.pread(fd, probe, sizeof probe, static_cast<off_t>(offset + more.size()));
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (n == 0) return 0;
        more.append(probe, static_cast<std::size_t>(n));
    }
}

}  // namespace

int ReadLogFile(int fd, std::size_t size, ByteBuffer& out) {
    out = ByteBuffer();
    ByteBuffer buffer(size);
    std::vector<Part> parts(size >= kPartsFrom ? CoreCount() : 1);
    for (std::size_t k = 0; k < parts.size(); ++k) {
        parts[k].from = size / parts.size() * k;
        parts[k].to = k + 1 == parts.size() ? size : size / parts.size() * (k + 1);
    }
    ReadParts(fd, buffer.data(), parts);
    // The bytes up to the first part that fell short are the file's.
    std::size_t have = 0;
    for (const Part& part : parts) {
        if (part.error) return part.error;
        have = part.end;
        if (part.end < part.to) break;
    }
    if (have == size) {
        std::string more;
        if (const int error = ReadOn(fd, size, more)) return error;
        if (!more.empty()) {
            ByteBuffer grown(size + more.size());
            if (size > 0) std::memcpy(grown.data(), buffer.data(), size);
            std::memcpy(grown.data() + size, more.data(), more.size());
            buffer = std::move(grown);
            have = buffer.size();
        }
    }
    buffer.Shrink(have);
    out = std::move(buffer);
    return 0;
}

int ReadLogFile(const std::string& path, ByteBuffer& out) {
    out = ByteBuffer();
    int fd = -1;
    std::size_t size = 0;
    if (const int error = OpenRegularFile(path, fd, size)) return error;
    int error = 0;
    try {
        error = ReadLogFile(fd, size, out);
    } catch (...) {
        CurrentFileIo().close(fd);
        throw;
    }
    CurrentFileIo().close(fd);
    return error;
}

}  // namespace pomurina
