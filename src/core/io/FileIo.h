#pragma once
// The file operations the program uses, behind one seam so that tests can
// make any of them fail (everything runs as root, where permission bits
// don't make a file unreadable).
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/types.h>

#include <cerrno>
#include <string>
#include <string_view>

namespace pomurina {

// The system calls behind every file read and write of the program.
struct FileIo {
    int (*open)(const char* path, int flags, mode_t mode);
    ssize_t (*read)(int fd, void* buffer, size_t size);
    ssize_t (*write)(int fd, const void* buffer, size_t size);
    int (*fsync)(int fd);
    int (*close)(int fd);
    int (*rename)(const char* from, const char* to);
    int (*unlink)(const char* path);
    int (*fstat)(int fd, struct stat* info);
    // Whether the user may do what mode asks (W_OK before a file is replaced).
    int (*access)(const char* path, int mode);
    // Reads at an offset (a log is read in parts at once).
    ssize_t (*pread)(int fd, void* buffer, size_t size, off_t offset);
    // Makes a folder (the data folder at the first start).
    int (*mkdir)(const char* path, mode_t mode);
    // The free space of a file system (how much a fetch may bring).
    int (*statvfs)(const char* path, struct statvfs* info);
};

// The error number of a path that names a FIFO, a device or a socket where a
// regular file is wanted (the system gives ENODEV for device files only, so
// the number says nothing else).
constexpr int kNotRegularFile = ENODEV;

// The error number of a symbolic link that is not followed: another user's
// link in a sticky folder that everyone may write (ENOLINK otherwise only
// comes from network file systems of old).
constexpr int kUntrustedLink = ENOLINK;

// The calls in use.  One set serves the whole process: every layer reads and
// writes files, and handing the calls down to each would buy nothing but
// tests that make a call fail.
const FileIo& CurrentFileIo();
// Puts io in use and returns the calls it replaces (tests change the calls
// only through a guard that puts the old ones back at the end of its scope).
FileIo UseFileIo(const FileIo& io);
// The real system calls.
const FileIo& SystemFileIo();

// Reads a whole regular file into out; returns 0 or the error number.  The
// file is opened without blocking, and anything else at the path (a FIFO, a
// device, a directory) is refused at once: kNotRegularFile, EISDIR.
int ReadWholeFile(const std::string& path, std::string& out);

// Opens a regular file for reading as ReadWholeFile does, refusing anything
// else; gives its descriptor (to be closed through the seam) and size.
// Returns 0 or the error number.
int OpenRegularFile(const std::string& path, int& fd, std::size_t& size);

// The absolute, lexically normal form of path against the current directory.
std::string FullPath(const std::string& path);

// A file-system path as the program's Shift-JIS texts show it: UTF-8 names
// are converted; other bytes are kept as they are.
std::string PathText(std::string_view path);

// The directory that holds the running program.
std::string ProgramDirectory();

// A path the user gave made absolute as FullPath does; an absolute one stays
// exactly as given.
std::string AbsolutePath(const std::string& path);

}  // namespace pomurina
