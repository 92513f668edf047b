#pragma once
// What the lines of each format look like, looked at alone: what the
// detection counts and the conversion relies on.
#include <string_view>

namespace pomurina {

// Whether word is a virtual host as servers write it before a line: letters,
// digits, '.', '-', '_', optionally ":port".
bool IsVirtualHostWord(std::string_view word);

// The virtual host before a line and the line after it (the blank between
// them dropped); false when the line doesn't start with such a word and a blank.
bool SplitVirtualHost(std::string_view line, std::string_view& vhost, std::string_view& rest);

// Whether a line is LTSV: at least three TAB-separated label:value fields,
// one of them host, time, req, uri or status.
bool IsLtsvLine(std::string_view line);

// The line without the CR a CR LF line end leaves at its end.
inline std::string_view WithoutCr(std::string_view line) {
    return !line.empty() && line.back() == '\r' ? line.substr(0, line.size() - 1) : line;
}

}  // namespace pomurina
