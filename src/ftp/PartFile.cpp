#include "ftp/PartFile.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <cerrno>
#include <vector>

#include "text/FileIo.h"

namespace pomurina {

PartFile::~PartFile() {
    Discard();
}

bool PartFile::Open() {
    Discard();
    std::string name = m_target + ".partXXXXXX";
    std::vector<char> pattern(name.begin(), name.end());
    pattern.push_back('\0');
    m_fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (m_fd < 0) return false;
    m_temporary = pattern.data();
    // A replaced copy keeps its mode; a new one is readable by all, like any log.
    struct stat old {};
    const bool replaces = ::stat(m_target.c_str(), &old) == 0 && S_ISREG(old.st_mode);
    ::fchmod(m_fd, replaces ? old.st_mode & 07777 : 0644);
    return true;
}

bool PartFile::Write(std::string_view bytes) {
    FileIo& io = CurrentFileIo();
    while (m_fd >= 0 && !bytes.empty()) {
        const ssize_t n = io.write(m_fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return m_fd >= 0;
}

bool PartFile::Commit() {
    if (m_fd < 0) return false;
    FileIo& io = CurrentFileIo();
    bool ok = io.fsync(m_fd) == 0;
    ok = io.close(m_fd) == 0 && ok;
    m_fd = -1;
    ok = ok && io.rename(m_temporary.c_str(), m_target.c_str()) == 0;
    if (ok) m_temporary.clear();
    Discard();
    return ok;
}

void PartFile::Discard() {
    FileIo& io = CurrentFileIo();
    if (m_fd >= 0) io.close(m_fd);
    m_fd = -1;
    if (!m_temporary.empty()) io.unlink(m_temporary.c_str());
    m_temporary.clear();
}

}  // namespace pomurina
