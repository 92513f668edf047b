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

}  // namespace pomurina
