#include "lists/WindowSettings.h"

#include "io/FileReplacement.h"
#include "lists/DataFileText.h"
#include "text/LineSplit.h"

namespace pomurina {
namespace {

// A few settings are a few hundred bytes; anything much larger is not ours.
constexpr std::size_t kLargestFile = 1 << 20;

// The value's text when line sets name.
std::optional<std::string_view> ValueIn(std::string_view line, std::string_view name) {
    if (line.size() <= name.size() || !line.starts_with(name) || line[name.size()] != '=')
        return std::nullopt;
    return line.substr(name.size() + 1);
}

}  // namespace

WindowSettings::WindowSettings(std::string file) : m_file(std::move(file)) {
    std::string bytes;
    if (const int error = ReadDataFile(m_file, kLargestFile, bytes)) {
        m_unreadError = error;
        return;
    }
    // A data file ends at its first zero byte, as every text list does.
    const std::string_view text = UpToFirstZero(bytes);
    SplitLines(text, [&](std::size_t offset, std::size_t length) {
        m_lines.emplace_back(text.substr(offset, length));
    });
}

std::optional<std::string> WindowSettings::Get(std::string_view name) const {
    for (const std::string& line : m_lines)
        if (const auto value = ValueIn(line, name)) return UnescapeLineValue(*value);
    return std::nullopt;
}

int WindowSettings::Set(std::string_view name, std::string_view value) {
    const std::string line = std::string(name) + "=" + EscapeLineValue(value);
    bool replaced = false;
    bool changed = true;
    for (std::string& old : m_lines) {
        if (!replaced && ValueIn(old, name)) {
            changed = old != line;
            old = line;
            replaced = true;
        }
    }
    if (!replaced) m_lines.push_back(line);
    if (m_unreadError) return m_unreadError;
    // The file holds the value already: writing it again would only wait on the disk.
    if (!changed) return 0;
    std::string text;
    for (const std::string& kept : m_lines) text += kept + "\r\n";
    return ReplaceFile(m_file, text);
}

}  // namespace pomurina
