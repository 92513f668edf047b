#include "formats/CombinedLine.h"

#include <algorithm>

namespace pomurina {

namespace {

bool IsBlankOrControl(char c) {
    return static_cast<unsigned char>(c) <= 0x20;
}

// Bytes a quoted field writes otherwise than as they are.
inline bool IsSpecialInQuotes(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F || c == '"' || c == '\\';
}

void AppendWord(std::string_view word, std::string& out) {
    if (word.empty()) {
        out += '-';
        return;
    }
    const std::size_t from = out.size();
    out += word;
    std::replace_if(out.begin() + static_cast<std::ptrdiff_t>(from), out.end(), IsBlankOrControl,
                    '_');
}

}  // namespace

CombinedLine& CombinedLine::Word(std::string_view word) {
    Separate();
    AppendWord(word, m_out);
    return *this;
}

CombinedLine& CombinedLine::Ident(std::string_view ident, std::string_view vhost) {
    if (vhost.empty() || vhost == "-") return Word(ident);
    Separate();
    m_out += kVirtualHostIdent;
    AppendWord(vhost, m_out);
    return *this;
}

CombinedLine& CombinedLine::Time(std::string_view bracketed) {
    Separate();
    m_out += bracketed;
    return *this;
}

CombinedLine& CombinedLine::Quoted(std::string_view text) {
    Separate();
    if (text.empty()) text = "-";
    m_out += '"';
    // Most fields have nothing to escape: up to the first byte that may, as they are.
    std::size_t plain = 0;
    while (plain < text.size() && !IsSpecialInQuotes(text[plain])) ++plain;
    m_out += text.substr(0, plain);
    bool escaped = false;  // the byte before was a backslash that escapes
    for (const char c : text.substr(plain)) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            static constexpr char kHex[] = "0123456789abcdef";
            m_out += "\\x";
            m_out += kHex[byte >> 4];
            m_out += kHex[byte & 15];
            escaped = false;
            continue;
        }
        if (c == '"' && !escaped) m_out += '\\';
        m_out += c;
        escaped = c == '\\' && !escaped;
    }
    // A backslash left escaping the closing quote is doubled.
    if (escaped) m_out += '\\';
    m_out += '"';
    return *this;
}

}  // namespace pomurina
