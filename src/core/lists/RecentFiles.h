#pragma once
// The logs opened last, most recent first, kept in a small file of the data
// folder.  A path is the file system's bytes and comes back exactly: each
// is one line of the file, with "%", CR and LF written as %25, %0D and %0A.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace pomurina {

class RecentFiles {
public:
    static constexpr std::size_t kMaximum = 5;

    // Reads file (an absolute path).  Never throws: a missing file is an
    // empty list; a file that is there but can't be read (or is no regular
    // file) is an empty list that is never written back over it.
    explicit RecentFiles(std::string file);

    const std::vector<std::string>& Paths() const { return m_paths; }
    const std::string& File() const { return m_file; }

    // Puts an absolute path first (once) and keeps the first five, then
    // writes the file whole beside it and renames it over the old one.
    // Returns 0 or the error number of the write (the list is changed anyway).
    int Remember(const std::string& path);
    // Takes path out of the list and writes the file; 0 or the error number.
    int Forget(const std::string& path);

    // The file's text for paths, and the paths of a file's text.
    static std::string Text(const std::vector<std::string>& paths);
    static std::vector<std::string> Parse(std::string_view text);

private:
    int Save() const;

    std::string m_file;
    std::vector<std::string> m_paths;
    int m_unreadError = 0;  // why the file was not read, when it is there
};

}  // namespace pomurina
