#include "lists/RecentFiles.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>

#include "io/FileIo.h"
#include "io/FileReplacement.h"
#include "text/LineSplit.h"

namespace pomurina {
namespace {

// A list of five paths is a few kilobytes; anything much larger is not ours.
constexpr off_t kLargestFile = 1 << 20;

std::string Escape(std::string_view path) {
    std::string line;
    for (const char c : path) {
        if (c == '%')
            line += "%25";
        else if (c == '\r')
            line += "%0D";
        else if (c == '\n')
            line += "%0A";
        else
            line += c;
    }
    return line;
}

std::string Unescape(std::string_view line) {
    std::string path;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const std::string_view code = line.substr(i, 3);
        const auto is = [&](const char* escape) {
            return code.size() == 3 && code[0] == escape[0] && code[1] == escape[1] &&
                   (code[2] | 0x20) == (escape[2] | 0x20);
        };
        if (is("%25")) {
            path += '%';
        } else if (is("%0D")) {
            path += '\r';
        } else if (is("%0A")) {
            path += '\n';
        } else {
            path += line[i];
            continue;
        }
        i += 2;
    }
    return path;
}

}  // namespace

RecentFiles::RecentFiles(std::string file) : m_file(std::move(file)) {
    struct stat info {};
    if (::stat(m_file.c_str(), &info) != 0) {
        if (errno != ENOENT && errno != ENOTDIR) m_unreadError = errno;
        return;
    }
    // A FIFO or device would block or never end; a directory can't be read.
    if (!S_ISREG(info.st_mode)) {
        m_unreadError = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
        return;
    }
    if (info.st_size > kLargestFile) {
        m_unreadError = EFBIG;
        return;
    }
    std::string bytes;
    if (const int error = ReadWholeFile(m_file, bytes)) {
        m_unreadError = error;
        return;
    }
    m_paths = Parse(bytes);
}

std::vector<std::string> RecentFiles::Parse(std::string_view text) {
    std::vector<std::string> paths;
    // A list file ends at its first zero byte, as every text list does.
    text = UpToFirstZero(text);
    SplitLines(text, [&](std::size_t offset, std::size_t length) {
        std::string path = Unescape(text.substr(offset, length));
        // Only absolute paths, each once: the file may have been edited by hand.
        if (paths.size() < kMaximum && !path.empty() && path[0] == '/' &&
            std::find(paths.begin(), paths.end(), path) == paths.end())
            paths.push_back(std::move(path));
    });
    return paths;
}

std::string RecentFiles::Text(const std::vector<std::string>& paths) {
    std::string text;
    for (const std::string& path : paths) text += Escape(path) + "\r\n";
    return text;
}

int RecentFiles::Remember(const std::string& path) {
    std::erase(m_paths, path);
    m_paths.insert(m_paths.begin(), path);
    if (m_paths.size() > kMaximum) m_paths.resize(kMaximum);
    return Save();
}

int RecentFiles::Forget(const std::string& path) {
    std::erase(m_paths, path);
    return Save();
}

int RecentFiles::Save() const {
    if (m_unreadError) return m_unreadError;
    return ReplaceFile(m_file, Text(m_paths));
}

}  // namespace pomurina
