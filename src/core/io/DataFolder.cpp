#include "io/DataFolder.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <string_view>
#include <utility>
#include <vector>

#include "io/FileIo.h"
#include "Errors.h"

#ifndef POMURINA_DEFAULTS_FROM_PROGRAM
#define POMURINA_DEFAULTS_FROM_PROGRAM "../share/pomurina"
#endif

namespace pomurina {
namespace {

namespace fs = std::filesystem;

std::string& ChosenFolder() {
    static std::string folder;
    return folder;
}

std::string Joined(const std::string& base, const std::string& rest) {
    std::string joined = (fs::path(base) / rest).lexically_normal().string();
    while (joined.size() > 1 && joined.back() == '/') joined.pop_back();
    return joined;
}

bool IsDirectory(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string AccountHome() {
    std::vector<char> buffer(16384);
    struct passwd entry {};
    struct passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found ||
        !found->pw_dir)
        return {};
    return found->pw_dir;
}

// Makes every missing folder of path, owner-only as the XDG folders are.
void MakeFolders(const std::string& path) {
    std::string prefix;
    for (const auto& part : fs::path(path)) {
        prefix = prefix.empty() ? part.string() : (fs::path(prefix) / part).string();
        if (CurrentFileIo().mkdir(prefix.c_str(), 0700) == 0) continue;
        // Kept before the look at what is there, whose stat sets errno anew.
        const int refusal = errno;
        if (IsDirectory(prefix)) continue;
        throw FileCreateFailure(prefix, refusal == EEXIST ? ENOTDIR : refusal);
    }
}

// Writes bytes to a new file at path; returns 0 or the error number, and
// removes what it created when it fails.
int WriteNewFile(const std::string& path, std::string_view bytes) {
    const FileIo& io = CurrentFileIo();
    const int fd =
        io.open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) return errno;
    int error = 0;
    while (!bytes.empty() && error == 0) {
        const ssize_t n = io.write(fd, bytes.data(), bytes.size());
        if (n > 0)
            bytes.remove_prefix(static_cast<std::size_t>(n));
        else if (n == 0)
            error = EIO;
        else if (errno != EINTR)
            error = errno;
    }
    if (error == 0 && io.fsync(fd) != 0) error = errno;
    if (io.close(fd) != 0 && error == 0) error = errno;
    if (error != 0) io.unlink(path.c_str());
    return error;
}

// Copies a default into place unless something of that name is there (a
// file, a link, even a dangling one).  The copy is written whole under a
// temporary name first and then linked in, which fails rather than replace
// a file that appeared meanwhile.
void CopyIfAbsent(const std::string& from, const std::string& to) {
    struct stat info {};
    if (::lstat(to.c_str(), &info) == 0 || errno != ENOENT) return;
    std::string bytes;
    if (const int error = ReadWholeFile(from, bytes)) throw FileOpenFailure(from, error);
    const std::string temporary = to + ".default-copy";
    CurrentFileIo().unlink(temporary.c_str());  // left by an interrupted start
    if (const int error = WriteNewFile(temporary, bytes)) throw FileCreateFailure(to, error);
    const int linked = ::link(temporary.c_str(), to.c_str()) == 0 ? 0 : errno;
    CurrentFileIo().unlink(temporary.c_str());
    if (linked != 0 && linked != EEXIST) throw FileCreateFailure(to, linked);
}

}  // namespace

DataFolderEnvironment CurrentDataFolderEnvironment() {
    DataFolderEnvironment environment;
    if (const char* xdg = std::getenv("XDG_DATA_HOME")) environment.xdgDataHome = xdg;
    if (const char* home = std::getenv("HOME")) environment.home = home;
    if (environment.home.empty()) environment.home = AccountHome();
    return environment;
}

DataFolderChoice ChooseDataFolder(const std::string& programDirectory,
                                  const DataFolderEnvironment& environment) {
    if (IsDirectory(Joined(programDirectory, "materia"))) return {programDirectory, true};
    // Relative values are ignored, as the XDG base directories ask.
    if (fs::path(environment.xdgDataHome).is_absolute())
        return {Joined(environment.xdgDataHome, "pomurina"), false};
    if (fs::path(environment.home).is_absolute())
        return {Joined(environment.home, ".local/share/pomurina"), false};
    return {programDirectory, true};
}

std::string InstalledDefaults(const std::string& programDirectory) {
    return Joined(programDirectory, POMURINA_DEFAULTS_FROM_PROGRAM);
}

void FillDataFolder(const std::string& folder, const std::string& defaults) {
    MakeFolders(Joined(folder, "materia"));
    MakeFolders(Joined(folder, "logs"));
    std::error_code error;
    for (fs::recursive_directory_iterator it(defaults, error), end; !error && it != end;
         it.increment(error)) {
        const std::string relative = it->path().lexically_relative(defaults).string();
        std::error_code unknown;  // an entry of unknown kind is passed over
        if (it->is_directory(unknown)) {
            MakeFolders(Joined(folder, relative));
        } else if (it->is_regular_file(unknown)) {
            CopyIfAbsent(it->path().string(), Joined(folder, relative));
        }
    }
}

DataFolderChoice SetUpDataFolder(const std::string& programDirectory) {
    const DataFolderChoice choice =
        ChooseDataFolder(programDirectory, CurrentDataFolderEnvironment());
    if (!choice.besideProgram) FillDataFolder(choice.folder, InstalledDefaults(programDirectory));
    ChosenFolder() = choice.folder;
    return choice;
}

std::string DataFolder() {
    return ChosenFolder().empty() ? ProgramDirectory() : ChosenFolder();
}

std::string SetDataFolder(std::string folder) {
    return std::exchange(ChosenFolder(), std::move(folder));
}

void EnterFolder(const std::string& folder) {
    (void)::chdir(folder.c_str());
}

}  // namespace pomurina
