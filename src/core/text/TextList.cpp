#include "text/TextList.h"

#include "io/FileIo.h"
#include "io/FileReplacement.h"
#include "text/CaseFold.h"
#include "Errors.h"
#include "text/LineSplit.h"

namespace pomurina {

void TextList::Insert(std::size_t index, std::string line) {
    if (index > m_lines.size())
        throw ListIndexError(ListIndexErrorText(static_cast<long long>(index)));
    m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(index), std::move(line));
}

void TextList::Delete(std::size_t index) {
    if (index >= m_lines.size())
        throw ListIndexError(ListIndexErrorText(static_cast<long long>(index)));
    m_lines.erase(m_lines.begin() + static_cast<std::ptrdiff_t>(index));
}

const std::string& TextList::Get(std::size_t index) const {
    if (index >= m_lines.size())
        throw ListIndexError(ListIndexErrorText(static_cast<long long>(index)));
    return m_lines[index];
}

long long TextList::IndexOf(std::string_view text) const {
    for (std::size_t i = 0; i < m_lines.size(); ++i)
        if (SameTextIgnoringCase(m_lines[i], text)) return static_cast<long long>(i);
    return -1;
}

bool TextList::SetText(std::string_view text) {
    m_lines.clear();
    const std::string_view read = UpToFirstZero(text);
    SplitLines(read, [&](std::size_t offset, std::size_t length) {
        m_lines.emplace_back(read.substr(offset, length));
    });
    return read.size() == text.size();
}

std::string TextList::Text() const {
    std::size_t size = 0;
    for (const auto& line : m_lines) size += line.size() + 2;
    std::string text;
    text.reserve(size);
    for (const auto& line : m_lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

bool TextList::LoadFromFile(const std::string& path) {
    std::string bytes;
    if (const int error = ReadWholeFile(path, bytes)) throw FileOpenFailure(path, error);
    return SetText(bytes);
}

void TextList::SaveToFile(const std::string& path, std::optional<mode_t> forcedMode) const {
    if (const int error = ReplaceFile(path, Text(), forcedMode))
        throw FileCreateFailure(path, error);
}

}  // namespace pomurina
