#pragma once
// An ordered list of text lines, loaded from and saved to text files.
#include <sys/types.h>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pomurina {

class TextList {
public:
    TextList() = default;
    explicit TextList(std::vector<std::string> lines) : m_lines(std::move(lines)) {}

    void Add(std::string line) { m_lines.push_back(std::move(line)); }
    // Inserts before index; index == Count() appends.  Throws ListIndexError beyond.
    void Insert(std::size_t index, std::string line);
    // Throws ListIndexError for an index beyond the end.
    void Delete(std::size_t index);
    const std::string& Get(std::size_t index) const;
    std::size_t Count() const { return m_lines.size(); }
    bool Empty() const { return m_lines.empty(); }
    void Clear() { m_lines.clear(); }
    // Index of the first entry equal to text ignoring letter case, or -1.
    long long IndexOf(std::string_view text) const;

    const std::vector<std::string>& Lines() const { return m_lines; }

    // Replaces the content by the lines of text (line ends CR, LF, CR LF; NUL
    // ends the text).  Returns whether the whole text was read: false when a
    // zero byte cut it short.
    bool SetText(std::string_view text);
    // Every line followed by CR LF; an empty list gives the empty text.
    std::string Text() const;

    // Replaces the content by the file's lines; throws FileOpenError with the
    // full path.  Returns whether the whole file was read (as SetText).
    bool LoadFromFile(const std::string& path);
    // Writes the file whole (through a temporary file and a rename); throws
    // FileCreateError with the full path.  A new file follows the umask and a
    // replaced one keeps its mode, unless forcedMode gives the mode.
    void SaveToFile(const std::string& path, std::optional<mode_t> forcedMode = std::nullopt) const;

private:
    std::vector<std::string> m_lines;
};

}  // namespace pomurina
