#pragma once
// Finding what the user typed in Shift-JIS lines.  A match starts on a
// character boundary, so an ASCII needle never matches the trail byte of a
// double-byte character.  Ignoring case compares character by character
// after case folding (ASCII and full-width letters, Greek, Cyrillic), so a
// double-byte character is never taken apart.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pomurina {

// Byte offset and byte length of a match within its line.
struct TextMatch {
    std::size_t start = 0;
    std::size_t length = 0;
    bool operator==(const TextMatch&) const = default;
};

class TextFinder {
public:
    // needle: Shift-JIS bytes.  An empty needle finds nothing.
    TextFinder(std::string needle, bool matchCase);

    bool Empty() const { return m_needle.empty(); }
    // The first match in line that starts at or after from.
    std::optional<TextMatch> FindIn(std::string_view line, std::size_t from = 0) const;
    // The last match in line that starts before before (npos: anywhere).
    std::optional<TextMatch> FindLastIn(std::string_view line, std::size_t before) const;

private:
    class Boundaries;
    // Calls take(match) for every match from from on, in order, until it returns false.
    template <typename Take>
    void ForEachMatch(std::string_view line, std::size_t from, Take&& take) const;
    std::size_t NextCandidate(std::string_view line, std::size_t from) const;
    // The length of the folded match at at, or 0.
    std::size_t FoldedMatchLength(std::string_view line, std::size_t at) const;

    std::string m_needle;
    bool m_matchCase;
    // Without match case: the needle's characters folded, and the bytes a
    // character equal to its first one may begin with.
    std::vector<std::uint32_t> m_folded;
    std::array<bool, 256> m_isFirstByte{};
    std::vector<char> m_firstBytes;
};

// Where each character of text starts: a byte below 0x80, a half-width
// katakana, a valid two-byte code, or a byte that doesn't decode (one unit).
std::size_t CharacterLength(std::string_view text, std::size_t at);

}  // namespace pomurina
