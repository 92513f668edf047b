#include "report/JsonText.h"

#include <array>

#include "text/Base64.h"
#include "text/Cp932.h"
#include "text/Utf8Text.h"

namespace pomurina {
namespace {

// Bytes that stand for themselves inside a JSON string: ASCII from the blank
// up, except the quote and the backslash.
constexpr std::array<bool, 256> PlainBytes() {
    std::array<bool, 256> plain{};
    for (int b = 0x20; b < 0x80; ++b) plain[static_cast<std::size_t>(b)] = b != '"' && b != '\\';
    return plain;
}
constexpr std::array<bool, 256> kPlain = PlainBytes();

bool IsPlain(char c) {
    return kPlain[static_cast<unsigned char>(c)];
}

// An ASCII character that needs an escape.
void AppendEscaped(unsigned char c, std::string& out) {
    switch (c) {
        case '"':
            out += "\\\"";
            return;
        case '\\':
            out += "\\\\";
            return;
        case '\n':
            out += "\\n";
            return;
        case '\r':
            out += "\\r";
            return;
        case '\t':
            out += "\\t";
            return;
        default:
            break;
    }
    static constexpr char kHex[] = "0123456789abcdef";
    out += "\\u00";
    out += kHex[c >> 4];
    out += kHex[c & 15];
}

}  // namespace

bool AppendJsonString(std::string_view sjis, std::string& out) {
    bool exact = true;
    out += '"';
    std::size_t i = 0;
    while (i < sjis.size()) {
        // Runs of plain ASCII go over whole.
        std::size_t run = i;
        while (run < sjis.size() && IsPlain(sjis[run])) ++run;
        out.append(sjis.substr(i, run - i));
        i = run;
        if (i == sjis.size()) break;
        const auto c = static_cast<unsigned char>(sjis[i]);
        if (c < 0x80) {
            AppendEscaped(c, out);
            ++i;
            continue;
        }
        const Cp932Unit unit = DecodeCp932(sjis, i);
        exact = exact && ConvertsBack(sjis, i, unit);
        AppendUtf8(unit.codePoint == Cp932Unit::kInvalid ? 0xFFFD : unit.codePoint, out);
        i += unit.length;
    }
    out += '"';
    return exact;
}

void AppendJsonUtf8(std::string_view utf8, std::string& out) {
    std::string valid;
    AppendValidUtf8(utf8, valid);
    out += '"';
    for (const char c : valid) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x80 || IsPlain(c))
            out += c;
        else
            AppendEscaped(byte, out);
    }
    out += '"';
}

void AppendJsonLine(std::string_view sjis, std::string& out) {
    const std::size_t start = out.size();
    if (AppendJsonString(sjis, out)) return;
    out.resize(start);
    out += "{\"text\": ";
    AppendJsonString(sjis, out);
    out += ", \"bytes\": \"";
    AppendBase64(sjis, out);
    out += "\"}";
}

}  // namespace pomurina
