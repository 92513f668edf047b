#pragma once
// CSV as RFC 4180 writes it, for spreadsheets: fields separated by commas,
// records ended by CR LF, a field with a comma, a quote, CR or LF quoted
// with its quotes doubled.  A text that a spreadsheet would take for a
// formula (it begins with = + - @, TAB or CR) gets a ' before it, so that a
// log line crafted as a formula stays text.
#include <string>
#include <string_view>

namespace pomurina {

// Appends one field (UTF-8 text).
void AppendCsvField(std::string_view text, std::string& out);

}  // namespace pomurina
