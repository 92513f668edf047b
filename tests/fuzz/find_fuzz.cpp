// Finding text in a line: every match is reported, and only matches, each
// at a character start; backwards finds the last of them.  Input: one byte
// of flags (bit 0: match case), one byte of needle length, the needle, the line.
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "text/CaseFold.h"
#include "text/Cp932.h"
#include "search/TextFinder.h"

using namespace pomurina;

namespace {

// The length of the match of needle at at, character by character, or 0.
std::size_t PlainMatch(std::string_view needle, std::string_view line, std::size_t at,
                       bool matchCase) {
    if (matchCase) return line.substr(at, needle.size()) == needle ? needle.size() : 0;
    const auto key = [](std::string_view text, std::size_t i, std::size_t& length) {
        const Cp932Unit unit = DecodeCp932(text, i);
        length = unit.length;
        return unit.codePoint == Cp932Unit::kInvalid
                   ? 0x80000000u | static_cast<unsigned char>(text[i])
                   : SimpleCaseFold(unit.codePoint);
    };
    std::size_t p = at, q = 0, lp = 0, lq = 0;
    while (q < needle.size() && p < line.size() && key(line, p, lp) == key(needle, q, lq)) {
        p += lp;
        q += lq;
    }
    return q == needle.size() ? p - at : 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const bool matchCase = data[0] & 1;
    const std::size_t needleSize = std::min<std::size_t>(data[1], size - 2);
    const std::string needle(reinterpret_cast<const char*>(data) + 2, needleSize);
    const std::string line(reinterpret_cast<const char*>(data) + 2 + needleSize,
                           size - 2 - needleSize);
    const TextFinder finder(needle, matchCase);

    std::vector<TextMatch> expected;
    if (!needle.empty())
        for (std::size_t at = 0; at < line.size(); at += CharacterLength(line, at))
            if (const std::size_t length = PlainMatch(needle, line, at, matchCase))
                expected.push_back({at, length});
    std::vector<TextMatch> found;
    for (auto m = finder.FindIn(line); m; m = finder.FindIn(line, m->start + 1)) {
        FUZZ_CHECK(m->start + m->length <= line.size());
        found.push_back(*m);
    }
    FUZZ_CHECK(found == expected);
    const auto last = finder.FindLastIn(line, std::string_view::npos);
    FUZZ_CHECK(expected.empty() ? !last : last && *last == expected.back());
    return 0;
}
