#include "formats/CombinedLine.h"

namespace pomurina {

namespace {

void AppendWord(std::string_view word, std::string& out) {
    if (word.empty()) {
        out += '-';
        return;
    }
    for (const char c : word) out += static_cast<unsigned char>(c) <= 0x20 ? '_' : c;
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
    bool escaped = false;  // the byte before was a backslash that escapes
    for (const char c : text) {
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
