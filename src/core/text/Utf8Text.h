#pragma once
// UTF-8 as it leaves the program: texts for people and scripts (reports),
// where a byte that isn't text must neither break the output nor be lost.
#include <string>
#include <string_view>

#include "text/Cp932.h"

namespace pomurina {

// Whether the unit decoded at text[at] converts back to the same bytes: a
// valid code that is the one code page 932 writes for its character.  A few
// characters have two codes (the NEC and the IBM rows); the other code of
// such a pair, and a byte that doesn't decode, don't come back.
bool ConvertsBack(std::string_view text, std::size_t at, const Cp932Unit& unit);

// Whether the Shift-JIS text comes back byte for byte from its UTF-8 form.
bool Cp932RoundTrips(std::string_view sjis);

// Whether bytes are well-formed UTF-8 (no overlong forms, no surrogates,
// nothing above U+10FFFF).
bool IsValidUtf8(std::string_view bytes);

// Appends bytes taken as UTF-8; each byte that doesn't belong to a
// well-formed sequence becomes U+FFFD.
void AppendValidUtf8(std::string_view bytes, std::string& out);

}  // namespace pomurina
