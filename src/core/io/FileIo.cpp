#include "io/FileIo.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "text/Cp932.h"

namespace pomurina {
namespace {

int SysOpen(const char* path, int flags, mode_t mode) {
    return ::open(path, flags, mode);
}

const FileIo kSystem = {SysOpen,  ::read,  ::write,  ::fsync, ::close, ::rename,
                        ::unlink, ::fstat, ::access, ::pread, ::mkdir, ::statvfs};

FileIo& CallsInUse() {
    static FileIo current = kSystem;
    return current;
}

}  // namespace

const FileIo& CurrentFileIo() {
    return CallsInUse();
}

FileIo UseFileIo(const FileIo& io) {
    const FileIo previous = CallsInUse();
    CallsInUse() = io;
    return previous;
}

const FileIo& SystemFileIo() {
    return kSystem;
}

int OpenRegularFile(const std::string& path, int& fd, std::size_t& size) {
    const FileIo& io = CurrentFileIo();
    // A FIFO would block the open until a writer comes; a terminal must not
    // become the controlling one.
    fd = io.open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY, 0);
    if (fd < 0) return errno;
    struct stat info {};
    int error = 0;
    if (io.fstat(fd, &info) != 0)
        error = errno;
    else if (S_ISDIR(info.st_mode))
        error = EISDIR;
    else if (!S_ISREG(info.st_mode))
        error = kNotRegularFile;  // a device such as /dev/zero would never end
    if (error) {
        io.close(fd);
        fd = -1;
        return error;
    }
    size = static_cast<std::size_t>(info.st_size > 0 ? info.st_size : 0);
    return 0;
}

int ReadWholeFile(const std::string& path, std::string& out) {
    const FileIo& io = CurrentFileIo();
    out.clear();
    int fd = -1;
    std::size_t size = 0;
    int error = OpenRegularFile(path, fd, size);
    if (error) return error;
    // Read straight into a buffer of the file's size; a file that grows
    // meanwhile is read on through a small probe buffer.
    std::size_t have = 0;
    out.resize(size);
    char probe[65536];
    for (;;) {
        const bool full = have == out.size();
        char* target = full ? probe : out.data() + have;
        const std::size_t room = full ? sizeof probe : out.size() - have;
        const ssize_t n = io.read(fd, target, room);
        if (n < 0) {
            if (errno == EINTR) continue;
            error = errno;
            break;
        }
        if (n == 0) break;
        if (full) out.append(probe, static_cast<std::size_t>(n));
        have += static_cast<std::size_t>(n);
    }
    out.resize(have);
    io.close(fd);
    if (error) out.clear();
    return error;
}

std::string FullPath(const std::string& path) {
    std::filesystem::path p(path);
    if (p.is_relative()) {
        std::error_code ignored;
        p = std::filesystem::current_path(ignored) / p;
    }
    return p.lexically_normal().string();
}

std::string PathText(std::string_view path) {
    bool ascii = true;
    for (const char c : path) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    if (ascii) return std::string(path);
    // Only a well-formed UTF-8 name is converted; anything else stays bytes.
    std::size_t i = 0;
    while (i < path.size()) {
        const auto b = static_cast<unsigned char>(path[i]);
        const std::size_t n = b < 0x80         ? 1
                              : (b >> 5) == 6  ? 2
                              : (b >> 4) == 14 ? 3
                              : (b >> 3) == 30 ? 4
                                               : 0;
        if (n == 0 || i + n > path.size()) return std::string(path);
        for (std::size_t k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(path[i + k]) & 0xC0) != 0x80) return std::string(path);
        i += n;
    }
    return Utf8ToCp932(path);
}

std::string ProgramDirectory() {
    std::error_code error;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return std::filesystem::current_path(error).string();
    return self.parent_path().string();
}

std::string AbsolutePath(const std::string& path) {
    return !path.empty() && path[0] == '/' ? path : FullPath(path);
}

}  // namespace pomurina
