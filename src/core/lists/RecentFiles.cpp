#include "lists/RecentFiles.h"

#include <algorithm>

#include "io/FileReplacement.h"
#include "lists/DataFileText.h"
#include "text/LineSplit.h"

namespace pomurina {
namespace {

// A list of five paths is a few kilobytes; anything much larger is not ours.
constexpr std::size_t kLargestFile = 1 << 20;

}  // namespace

RecentFiles::RecentFiles(std::string file) : m_file(std::move(file)) {
    std::string bytes;
    if (const int error = ReadDataFile(m_file, kLargestFile, bytes)) {
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
            entry.push_back(UnescapeLineValue(line.substr(start, tab - start)));
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
        for (std::size_t i = 0; i < entry.size(); ++i)
            text += (i ? "\t" : "") + EscapeLineValue(entry[i]);
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
