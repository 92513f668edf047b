#pragma once
// What the window program remembers from one session to the next beside the
// recent files (the open dialog's folder), in a small file of the data
// folder, materia/window.ini: one "name=value" line a setting, the value
// written as EscapeLineValue does, so a folder's bytes come back exactly.
// Lines it doesn't know (comments, sections, settings of a later version)
// are kept as they are when the file is written again.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pomurina {

class WindowSettings {
public:
    // The open dialog's folder, as the file system names it.
    static constexpr std::string_view kOpenFolder = "OpenFolder";

    // Reads file (an absolute path).  Never throws: a missing file holds no
    // settings; a file that is there but can't be read (or is no regular
    // file) holds none and is never written over.
    explicit WindowSettings(std::string file);

    const std::string& File() const { return m_file; }
    // The value of the first line that sets name, if any.
    std::optional<std::string> Get(std::string_view name) const;
    // Sets name to value and writes the file whole beside it, then renames
    // it over the old one; 0 or the error number of the write.
    int Set(std::string_view name, std::string_view value);

private:
    std::string m_file;
    std::vector<std::string> m_lines;  // as read, without their line ends
    int m_unreadError = 0;             // why the file was not read, when it is there
};

}  // namespace pomurina
