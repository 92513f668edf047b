#pragma once
// HexCharToInt, HexToInt and URLDecode: percent-encoded UTF-8 text
// (referrers, request paths) decoded back into the program's Shift-JIS text.
// Plain byte strings; no window needed.
#include <string>
#include <string_view>

namespace pomurina {

// The value of one hexadecimal digit ("0"-"9", "A"-"F", "a"-"f"); any other
// character raises ConvertError "不正な16進数文字".
int HexCharToInt(char c);

// The value of a text of hexadecimal digits, read left to right; empty gives 0.
// A digit's ConvertError passes through unchanged.
int HexToInt(std::string_view text);

// Decodes a line: "%" with the next two characters (fewer at the end) gives
// one byte, everything else is kept; the bytes are then read as UTF-8 and
// converted to Shift-JIS.  A non-hex digit after "%" raises ConvertError
// "不正なURL"; bytes that aren't UTF-8 give the empty text.
std::string URLDecode(std::string_view text);

}  // namespace pomurina
