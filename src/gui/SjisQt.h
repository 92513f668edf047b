#pragma once
// The program's texts are Shift-JIS bytes; the toolkit's are QStrings.
#include <QString>
#include <string>
#include <string_view>

namespace pomurina {

// Decodes Shift-JIS for display; a byte that doesn't decode shows as U+FFFD.
QString FromSjis(std::string_view sjis);
// A UTF-8 literal of the source as a QString.
inline QString FromUtf8(const char* utf8) {
    return QString::fromUtf8(utf8);
}
// Encodes to Shift-JIS; a character it cannot represent becomes '?'.
std::string ToSjis(const QString& text);

}  // namespace pomurina
