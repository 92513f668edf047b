#include "text/CaseFold.h"

#include "text/Cp932.h"

namespace pomurina {
std::uint32_t SimpleCaseFold(std::uint32_t c) {
    if (c < 0x80) return c >= 'A' && c <= 'Z' ? c + 0x20 : c;
    if (c >= 0x391 && c <= 0x3A9 && c != 0x3A2) return c + 0x20;  // Greek capitals
    if (c >= 0x410 && c <= 0x42F) return c + 0x20;                // Cyrillic capitals
    if (c >= 0x400 && c <= 0x40F) return c + 0x50;                // Cyrillic Ё and kin
    if (c >= 0x2160 && c <= 0x216F) return c + 0x10;              // Roman numerals
    if (c == 0x212B) return 0xE5;                                 // Angstrom sign
    if (c >= 0xFF21 && c <= 0xFF3A) return c + 0x20;              // full-width Latin
    return c;
}

void FoldKey(std::string_view sjis, std::string& key) {
    // ASCII text, by far the most common, folds byte by byte in one pass.
    key.resize(sjis.size());
    std::size_t ascii = 0;
    for (; ascii < sjis.size(); ++ascii) {
        const char ch = sjis[ascii];
        if (static_cast<unsigned char>(ch) >= 0x80) break;
        key[ascii] = ch >= 'A' && ch <= 'Z' ? static_cast<char>(ch + 0x20) : ch;
    }
    if (ascii == sjis.size()) return;
    key.clear();
    for (std::size_t i = 0; i < sjis.size();) {
        const Cp932Unit unit = DecodeCp932(sjis, i);
        if (unit.codePoint == Cp932Unit::kInvalid) {
            // 0xFF never occurs in UTF-8, so an undecodable byte can't collide with a character.
            key += '\xFF';
            key += sjis[i];
        } else {
            AppendUtf8(SimpleCaseFold(unit.codePoint), key);
        }
        i += unit.length;
    }
}

bool SameTextIgnoringCase(std::string_view a, std::string_view b) {
    std::string ka, kb;
    FoldKey(a, ka);
    FoldKey(b, kb);
    return ka == kb;
}

std::string AsciiLower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return lower;
}

bool StartsWithIgnoringAsciiCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           AsciiLower(text.substr(0, prefix.size())) == AsciiLower(prefix);
}

}  // namespace pomurina
