#pragma once
// JSON strings from the program's texts: Shift-JIS converted to UTF-8, and
// file-system names kept as the UTF-8 they are.
#include <string>
#include <string_view>

namespace pomurina {

// Appends sjis as a quoted JSON string; a byte that isn't Shift-JIS becomes
// U+FFFD.  Returns whether the string converts back to exactly these bytes.
bool AppendJsonString(std::string_view sjis, std::string& out);

// Appends bytes taken as UTF-8 as a quoted JSON string (invalid bytes become
// U+FFFD).
void AppendJsonUtf8(std::string_view utf8, std::string& out);

// Appends a line as a JSON value: the string when it converts back exactly,
// otherwise {"text": the string, "bytes": the exact bytes in base64}.
void AppendJsonLine(std::string_view sjis, std::string& out);

}  // namespace pomurina
