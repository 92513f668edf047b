#pragma once
// The logs opened last, most recent first, kept in a small file of the data
// folder.  An entry is one log, or the several logs of one analysis in
// their order.  A path is the file system's bytes and comes back exactly:
// each entry is one line of the file, its paths separated by a TAB, with
// "%", CR, LF and TAB in a path written as %25, %0D, %0A and %09.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace pomurina {

class RecentFiles {
public:
    static constexpr std::size_t kMaximum = 5;
    // The absolute paths of one analysis, at least one.
    using Entry = std::vector<std::string>;

    // Reads file (an absolute path).  Never throws: a missing file is an
    // empty list; a file that is there but can't be read (or is no regular
    // file) is an empty list that is never written back over it.
    explicit RecentFiles(std::string file);

    const std::vector<Entry>& Entries() const { return m_entries; }
    const std::string& File() const { return m_file; }

    // Puts an entry of absolute paths first (once) and keeps the first five,
    // then writes the file whole beside it and renames it over the old one.
    // Returns 0 or the error number of the write (the list is changed anyway).
    int Remember(const Entry& entry);
    // Takes the entry out of the list and writes the file; 0 or the error number.
    int Forget(const Entry& entry);

    // The file's text for entries, and the entries of a file's text.
    static std::string Text(const std::vector<Entry>& entries);
    static std::vector<Entry> Parse(std::string_view text);

private:
    int Save() const;

    std::string m_file;
    std::vector<Entry> m_entries;
    int m_unreadError = 0;  // why the file was not read, when it is there
};

}  // namespace pomurina
