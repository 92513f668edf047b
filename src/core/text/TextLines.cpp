#include "text/TextLines.h"

#include <algorithm>

#include "text/LineSplit.h"

namespace pomurina {
namespace {

// The bytes without their zero bytes, moved down in place: a zero-filled block
// (what a crash leaves where the last writes were lost) disappears, and the
// lines around it stay.
std::string WithoutZeroBytes(std::string bytes) {
    const std::size_t first = UpToFirstZero(bytes).size();
    if (first < bytes.size())
        bytes.erase(
            std::remove(bytes.begin() + static_cast<std::ptrdiff_t>(first), bytes.end(), '\0'),
            bytes.end());
    return bytes;
}

}  // namespace

TextLines::TextLines(std::string bytes)
    : m_bytes(std::make_shared<const std::string>(WithoutZeroBytes(std::move(bytes)))) {
    const std::string_view text(*m_bytes);
    // A typical log line is well over 40 bytes; a first guess saves regrowth.
    m_lines.reserve(text.size() / 64);
    SplitLines(text, [&](std::size_t offset, std::size_t length) {
        m_lines.push_back({offset, length});
    });
}

void TextLines::AppendLines(std::size_t first, std::size_t count, std::string& out) const {
    // Lines that follow one another with a single LF between them are copied
    // as one run, their LFs with them.
    const char* const bytes = m_bytes->data();
    const std::size_t size = m_bytes->size();
    const std::size_t end = first + count;
    std::size_t i = first;
    while (i < end) {
        const std::uint64_t runStart = m_lines[i].offset;
        for (;; ++i) {
            const std::uint64_t lineEnd = m_lines[i].offset + m_lines[i].length;
            if (lineEnd >= size || bytes[lineEnd] != '\n') {
                out.append(bytes + runStart, lineEnd - runStart);
                out += '\n';
                ++i;
                break;
            }
            if (i + 1 == end || m_lines[i + 1].offset != lineEnd + 1) {
                out.append(bytes + runStart, lineEnd + 1 - runStart);
                ++i;
                break;
            }
        }
    }
}

}  // namespace pomurina
