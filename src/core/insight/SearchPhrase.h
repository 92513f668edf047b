#pragma once
// What a visitor typed into a search engine, from the value of the engine's
// parameter, read as one phrase however the engine encoded it:
//   each '+' becomes a blank, then %XX gives a byte (a '%' not followed by
//   two hex digits stays as it is);
//   the bytes are read in the charset named by the query's first ie or ei
//   item that names one (UTF-8, Shift-JIS or EUC-JP), otherwise as UTF-8
//   when valid, else EUC-JP when valid, else Shift-JIS (code page 932) when
//   valid; EUC-JP goes before Shift-JIS because its bytes often also read as
//   Shift-JIS half-width katakana;
//   then NFKC (full-width letters and digits and half-width katakana meet
//   their usual forms), ASCII letters lowercased, every run of white space
//   made one blank, and the ends trimmed.
#include <string>
#include <string_view>

namespace pomurina {

// Sets phrase (UTF-8) and returns true; false when the bytes aren't valid in
// their charset or the phrase is empty.
bool ReadSearchPhrase(std::string_view value, std::string_view query, std::string& phrase);

// The bytes of value with '+' as a blank and percent escapes decoded.
std::string DecodedQueryValue(std::string_view value);

}  // namespace pomurina
