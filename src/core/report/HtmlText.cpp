#include "report/HtmlText.h"

#include "text/Cp932.h"

namespace pomurina {

void AppendHtml(std::string_view utf8, std::string& out) {
    for (const char c : utf8) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                // Control characters other than the tab have no place in an HTML text.
                if (static_cast<unsigned char>(c) < 0x20 && c != '\t')
                    out += "\xEF\xBF\xBD";  // U+FFFD
                else
                    out += c;
        }
    }
}

void AppendHtmlSjis(std::string_view sjis, std::string& out) {
    AppendHtml(Cp932ToUtf8(sjis), out);
}

std::string_view FirstBytes(std::string_view sjis, std::size_t maxBytes) {
    if (sjis.size() <= maxBytes) return sjis;
    std::size_t end = 0;
    while (end < sjis.size()) {
        const std::size_t next = end + DecodeCp932(sjis, end).length;
        if (next > maxBytes) break;
        end = next;
    }
    return sjis.substr(0, end);
}

}  // namespace pomurina
