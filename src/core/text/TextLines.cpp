#include "text/TextLines.h"

#include "text/LineSplit.h"

namespace pomurina {

TextLines::TextLines(std::string bytes)
    : m_bytes(std::make_shared<const std::string>(std::move(bytes))) {
    const std::string_view text(*m_bytes);
    // A typical log line is well over 40 bytes; a first guess saves regrowth.
    m_lines.reserve(text.size() / 64);
    SplitLines(text, [&](std::size_t offset, std::size_t length) {
        m_lines.push_back({offset, length});
    });
}

}  // namespace pomurina
