#include "io/FileReplacement.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <random>

#include "io/FileIo.h"

namespace pomurina {
namespace {

std::string TemporaryNameBeside(const std::string& path) {
    static std::mt19937_64 random{std::random_device{}()};
    static const char digits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    std::string name = path + ".tmp";
    for (int i = 0; i < 8; ++i) name += digits[random() % 36];
    return name;
}

}  // namespace

FileReplacement::~FileReplacement() {
    Fail(0);
}

int FileReplacement::Open() {
    Fail(0);
    struct stat existing {};
    if (::stat(m_target.c_str(), &existing) == 0) {
        if (S_ISDIR(existing.st_mode)) return EISDIR;
        if (!m_forceMode && S_ISREG(existing.st_mode)) m_mode = existing.st_mode & 07777;
    }
    FileIo& io = CurrentFileIo();
    for (int attempt = 0; attempt < 16 && m_fd < 0; ++attempt) {
        m_temporary = TemporaryNameBeside(m_target);
        m_fd = io.open(m_temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, m_mode);
        if (m_fd < 0 && errno != EEXIST) {
            const int error = errno;
            m_temporary.clear();
            return error;
        }
    }
    if (m_fd < 0) {
        m_temporary.clear();
        return EEXIST;
    }
    ::fchmod(m_fd, m_mode);  // the umask must not widen or narrow what was asked for
    return 0;
}

int FileReplacement::Write(std::string_view bytes) {
    if (m_fd < 0) return EBADF;
    FileIo& io = CurrentFileIo();
    while (!bytes.empty()) {
        const ssize_t n = io.write(m_fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return Fail(errno);
        if (n == 0) return Fail(EIO);
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return 0;
}

int FileReplacement::Commit() {
    if (m_fd < 0) return EBADF;
    FileIo& io = CurrentFileIo();
    if (io.fsync(m_fd) != 0) return Fail(errno);
    const int fd = m_fd;
    m_fd = -1;
    if (io.close(fd) != 0) return Fail(errno);
    if (io.rename(m_temporary.c_str(), m_target.c_str()) != 0) return Fail(errno);
    m_temporary.clear();
    return 0;
}

int FileReplacement::Fail(int error) {
    FileIo& io = CurrentFileIo();
    if (m_fd >= 0) io.close(m_fd);
    m_fd = -1;
    if (!m_temporary.empty()) io.unlink(m_temporary.c_str());
    m_temporary.clear();
    return error;
}

int ReplaceFile(const std::string& path, std::string_view bytes, mode_t mode, bool forceMode) {
    FileReplacement file(path, mode, forceMode);
    if (const int error = file.Open()) return error;
    if (const int error = file.Write(bytes)) return error;
    return file.Commit();
}

}  // namespace pomurina
