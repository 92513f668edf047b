#include "formats/LineShape.h"

namespace pomurina {
namespace {

bool IsLabelByte(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
           c == '_' || c == '-' || c == '.';
}

}  // namespace

bool IsVirtualHostWord(std::string_view word) {
    const std::size_t colon = word.find(':');
    const std::string_view name = word.substr(0, colon);
    if (name.empty() || name.size() > 253) return false;
    for (const char c : name)
        if (!IsLabelByte(c)) return false;
    if (colon == std::string_view::npos) return true;
    const std::string_view port = word.substr(colon + 1);
    if (port.empty() || port.size() > 5) return false;
    for (const char c : port)
        if (c < '0' || c > '9') return false;
    return true;
}

bool SplitVirtualHost(std::string_view line, std::string_view& vhost, std::string_view& rest) {
    const std::size_t blank = line.find(' ');
    if (blank == std::string_view::npos || !IsVirtualHostWord(line.substr(0, blank))) return false;
    vhost = line.substr(0, blank);
    rest = line.substr(blank + 1);
    return true;
}

bool IsLtsvLine(std::string_view line) {
    int fields = 0;
    bool known = false;
    for (;;) {
        const std::size_t tab = line.find('\t');
        const std::string_view field = line.substr(0, tab);
        const std::size_t colon = field.find(':');
        if (colon == 0 || colon == std::string_view::npos) return false;
        const std::string_view label = field.substr(0, colon);
        for (const char c : label)
            if (!IsLabelByte(c)) return false;
        ++fields;
        known = known || label == "host" || label == "time" || label == "req" || label == "uri" ||
                label == "status";
        if (tab == std::string_view::npos) break;
        line.remove_prefix(tab + 1);
    }
    return fields >= 3 && known;
}

}  // namespace pomurina
