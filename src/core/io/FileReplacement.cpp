#include "io/FileReplacement.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <random>

#include "io/FileIo.h"

namespace pomurina {
namespace {

constexpr std::string_view kTemporaryHead = ".pomurina-";
constexpr std::string_view kTemporaryTail = ".tmp";
constexpr std::size_t kTemporaryRandom = 8;

// The folder part of path ("" for a bare name).
std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return std::string();
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

std::string Beside(const std::string& folder, std::string_view name) {
    if (folder.empty()) return std::string(name);
    return folder.back() == '/' ? folder + std::string(name) : folder + "/" + std::string(name);
}

// Whether the link (as lstat saw it) in folder may be followed, by the rule
// the kernel keeps for links it follows itself (fs.protected_symlinks): in a
// sticky folder that everyone may write, such as /tmp, only a link of the
// user's own or of the folder's owner.  Anyone may put a link there, and
// following it would let them aim the save at any file the user may write.
// Returns 0, kUntrustedLink or the error number of the folder's stat.
int MayFollow(const struct stat& link, const std::string& folder) {
    if (link.st_uid == ::geteuid()) return 0;
    struct stat shared {};
    if (::stat(folder.empty() ? "." : folder.c_str(), &shared) != 0) return errno;
    constexpr mode_t kShared = S_ISVTX | S_IWOTH;
    if ((shared.st_mode & kShared) != kShared || shared.st_uid == link.st_uid) return 0;
    return kUntrustedLink;
}

// The path that symbolic links starting at path lead to (the path itself when
// it is no link, or names nothing yet); a link that leads nowhere names the
// file to create.
int FollowLinks(const std::string& path, std::string& out) {
    std::string current = path;
    for (int hop = 0; hop < 40; ++hop) {
        struct stat info {};
        if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
            out = current;
            return 0;
        }
        if (const int refused = MayFollow(info, FolderOf(current))) return refused;
        char link[PATH_MAX];
        const ssize_t n = ::readlink(current.c_str(), link, sizeof link);
        if (n < 0) return errno;
        if (static_cast<std::size_t>(n) == sizeof link) return ENAMETOOLONG;
        const std::string target(link, static_cast<std::size_t>(n));
        current = target.front() == '/' ? target : Beside(FolderOf(current), target);
    }
    return ELOOP;
}

std::string TemporaryNameIn(const std::string& folder) {
    static std::mt19937_64 random{std::random_device{}()};
    static const char digits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    std::string name(kTemporaryHead);
    for (std::size_t i = 0; i < kTemporaryRandom; ++i) name += digits[random() % 36];
    name += kTemporaryTail;
    return Beside(folder, name);
}

// Removes the temporary files in folder whose writers are gone: a writer
// holds the lock of its file until the rename, and the lock ends with it.
void RemoveStaleTemporaries(const std::string& folder) {
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!dir) return;
    const int dirFd = ::dirfd(dir);
    while (const dirent* entry = ::readdir(dir)) {
        if (!IsReplacementTemporaryName(entry->d_name)) continue;
        const int fd =
            ::openat(dirFd, entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) continue;
        struct stat info {};
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode))
            ::unlinkat(dirFd, entry->d_name, 0);
        ::close(fd);
    }
    ::closedir(dir);
}

}  // namespace

bool IsReplacementTemporaryName(std::string_view name) {
    return name.size() == kTemporaryHead.size() + kTemporaryRandom + kTemporaryTail.size() &&
           name.starts_with(kTemporaryHead) && name.ends_with(kTemporaryTail);
}

FileReplacement::~FileReplacement() {
    Fail(0);
}

int FileReplacement::Open() {
    Fail(0);
    if (const int error = FollowLinks(m_target, m_destination)) return error;
    const FileIo& io = CurrentFileIo();
    // A new file is made with the umask applied; one that replaces a file is
    // private until it has that file's mode.
    mode_t createMode = m_forcedMode.value_or(0666);
    std::optional<mode_t> finalMode = m_forcedMode;
    struct stat existing {};
    if (::stat(m_destination.c_str(), &existing) == 0) {
        if (S_ISDIR(existing.st_mode)) return EISDIR;
        if (!S_ISREG(existing.st_mode)) return kNotRegularFile;
        // The folder's permission would let the rename replace a file the
        // user made read-only.
        if (io.access(m_destination.c_str(), W_OK) != 0) return errno;
        if (!finalMode) finalMode = existing.st_mode & 07777;
        createMode = 0600;
    }
    const std::string folder = FolderOf(m_destination);
    RemoveStaleTemporaries(folder);
    for (int attempt = 0; attempt < 16 && m_fd < 0; ++attempt) {
        m_temporary = TemporaryNameIn(folder);
        const int fd = io.open(m_temporary.c_str(),
                               O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, createMode);
        if (fd < 0) {
            const int error = errno;
            m_temporary.clear();
            if (error == EEXIST) continue;
            return error;
        }
        // Locked at once; a cleaner that came first has the lock or has
        // already unlinked the file: take another name.
        struct stat info {};
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || ::fstat(fd, &info) != 0 || info.st_nlink == 0) {
            io.close(fd);
            m_temporary.clear();
            continue;
        }
        m_fd = fd;
    }
    if (m_fd < 0) return EEXIST;
    if (finalMode) ::fchmod(m_fd, *finalMode);
    return 0;
}

int FileReplacement::Write(std::string_view bytes) {
    if (m_fd < 0) return EBADF;
    const FileIo& io = CurrentFileIo();
    while (!bytes.empty()) {
        const ssize_t n = io.write(m_fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return Fail(errno);
        if (n == 0) return Fail(EIO);
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return 0;
}

int FileReplacement::Commit(Flush flush) {
    if (m_fd < 0) return EBADF;
    const FileIo& io = CurrentFileIo();
    if (flush == Flush::ToDisk && io.fsync(m_fd) != 0) return Fail(errno);
    // Renamed while still locked, so no cleaner can take it for a stale one.
    if (io.rename(m_temporary.c_str(), m_destination.c_str()) != 0) return Fail(errno);
    m_temporary.clear();
    const int fd = m_fd;
    m_fd = -1;
    io.close(fd);  // the data is in place
    return 0;
}

int FileReplacement::Fail(int error) {
    const FileIo& io = CurrentFileIo();
    // Unlinked before the lock ends with the close.
    if (!m_temporary.empty()) io.unlink(m_temporary.c_str());
    m_temporary.clear();
    if (m_fd >= 0) io.close(m_fd);
    m_fd = -1;
    return error;
}

int ReplaceFile(const std::string& path, std::string_view bytes, std::optional<mode_t> forcedMode) {
    FileReplacement file(path, forcedMode);
    if (const int error = file.Open()) return error;
    if (const int error = file.Write(bytes)) return error;
    return file.Commit();
}

}  // namespace pomurina
