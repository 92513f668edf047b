#pragma once
// Comparison ignoring letter case, as the user's locale compares Japanese
// text: the bytes are read as code page 932, letters are compared after
// simple Unicode case folding, and a byte that doesn't decode is one unit
// that compares as itself.  Two byte forms of one character compare equal.
#include <cstdint>
#include <string>
#include <string_view>

namespace pomurina {

// The simple case folding of a code point in the code page 932 repertoire.
std::uint32_t SimpleCaseFold(std::uint32_t codePoint);

// Replaces key by a byte string that is equal for two texts exactly when they
// compare equal ignoring case (ASCII text folds to its lower-case bytes).
void FoldKey(std::string_view sjis, std::string& key);

bool SameTextIgnoringCase(std::string_view a, std::string_view b);

// The text with only the 26 ASCII capitals lowered and every other byte as it
// is: for protocol names, host names, name suffixes and server replies, where a
// byte of code page 932 text must not change.
std::string AsciiLower(std::string_view text);

// Whether text begins with prefix, ASCII letters compared ignoring case.
bool StartsWithIgnoringAsciiCase(std::string_view text, std::string_view prefix);

}  // namespace pomurina
