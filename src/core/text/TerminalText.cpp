#include "text/TerminalText.h"

#include "text/Utf8Text.h"

namespace pomurina {
namespace {

void AppendCode(unsigned code, std::string& out) {
    static const char kDigits[] = "0123456789abcdef";
    out += "\\x";
    out += kDigits[code >> 4 & 0xF];
    out += kDigits[code & 0xF];
}

// The length of the well-formed UTF-8 sequence at text[at], or 0.
std::size_t SequenceAt(std::string_view text, std::size_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    const std::size_t length = lead < 0x80   ? 1
                               : lead < 0xC2 ? 0
                               : lead < 0xE0 ? 2
                               : lead < 0xF0 ? 3
                               : lead < 0xF5 ? 4
                                             : 0;
    if (length == 0 || at + length > text.size()) return 0;
    return IsValidUtf8(text.substr(at, length)) ? length : 0;
}

}  // namespace

std::string VisibleControls(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        const auto byte = static_cast<unsigned char>(utf8[i]);
        const std::size_t length = SequenceAt(utf8, i);
        if (length == 0) {
            AppendCode(byte, out);
            ++i;
            continue;
        }
        const bool c0 =
            length == 1 && (byte < 0x20 || byte == 0x7F) && byte != '\n' && byte != '\t';
        const auto second = static_cast<unsigned char>(length == 2 ? utf8[i + 1] : 0);
        const bool c1 = byte == 0xC2 && second < 0xA0;  // U+0080 to U+009F
        if (c0)
            AppendCode(byte, out);
        else if (c1)
            AppendCode(second, out);
        else
            out.append(utf8.substr(i, length));
        i += length;
    }
    return out;
}

}  // namespace pomurina
