#pragma once
// Text inside the HTML report: escaped for HTML, Shift-JIS converted to UTF-8.
#include <string>
#include <string_view>

namespace pomurina {

// Appends UTF-8 text with &, <, > and " escaped.
void AppendHtml(std::string_view utf8, std::string& out);

// Appends Shift-JIS text as escaped UTF-8; a byte that isn't Shift-JIS
// becomes U+FFFD.
void AppendHtmlSjis(std::string_view sjis, std::string& out);

// The first characters of sjis that fit in maxBytes (a double-byte
// character is never split).
std::string_view FirstBytes(std::string_view sjis, std::size_t maxBytes);

}  // namespace pomurina
