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
        else if (c == '\t')
            line += "%09";
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
        } else if (is("%09")) {
            path += '\t';
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
    m_entries = Parse(bytes);
}

std::vector<RecentFiles::Entry> RecentFiles::Parse(std::string_view text) {
    std::vector<Entry> entries;
    // A list file ends at its first zero byte, as every text list does.
    text = UpToFirstZero(text);
    SplitLines(text, [&](std::size_t offset, std::size_t length) {
        const std::string_view line = text.substr(offset, length);
        Entry entry;
        bool absolute = true;
        for (std::size_t start = 0; start <= line.size();) {
            const std::size_t tab = std::min(line.find('\t', start), line.size());
            entry.push_back(Unescape(line.substr(start, tab - start)));
            absolute = absolute && entry.back().starts_with('/');
            start = tab + 1;
        }
        // Only absolute paths, each entry once: the file may have been edited by hand.
        if (entries.size() < kMaximum && absolute &&
            std::find(entries.begin(), entries.end(), entry) == entries.end())
            entries.push_back(std::move(entry));
    });
    return entries;
}

std::string RecentFiles::Text(const std::vector<Entry>& entries) {
    std::string text;
    for (const Entry& entry : entries) {
        for (std::size_t i = 0; i < entry.size(); ++i) text += (i ? "\t" : "") + Escape(entry[i]);
        text += "\r\n";
    }
    return text;
}

int RecentFiles::Remember(const Entry& entry) {
    std::erase(m_entries, entry);
    m_entries.insert(m_entries.begin(), entry);
    if (m_entries.size() > kMaximum) m_entries.resize(kMaximum);
    return Save();
}

int RecentFiles::Forget(const Entry& entry) {
    std::erase(m_entries, entry);
    return Save();
}

int RecentFiles::Save() const {
    if (m_unreadError) return m_unreadError;
    return ReplaceFile(m_file, Text(m_entries));
}

}  // namespace pomurina
