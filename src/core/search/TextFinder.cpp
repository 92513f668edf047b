#include "search/TextFinder.h"

#include "text/ByteSearch.h"
#include "text/CaseFold.h"
#include "text/Cp932.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace pomurina {
namespace {

constexpr std::size_t kNone = std::string_view::npos;

// What a character compares as when case is ignored; a byte that doesn't
// decode compares as itself and never as a character.
std::uint32_t FoldedKey(const Cp932Unit& unit, unsigned char byte) {
    return unit.codePoint == Cp932Unit::kInvalid ? 0x80000000u | byte
                                                 : SimpleCaseFold(unit.codePoint);
}

// The first byte from 0x80 up at or after from, or text.size().
std::size_t FirstHighByte(std::string_view text, std::size_t from) {
    const char* const t = text.data();
    std::size_t i = from;
#if defined(__SSE2__)
    for (; i + 16 <= text.size(); i += 16) {
        const int mask =
            _mm_movemask_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(t + i)));
        if (mask != 0)
            return i + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(mask)));
    }
#endif
    for (; i < text.size(); ++i)
        if (static_cast<unsigned char>(t[i]) >= 0x80) return i;
    return text.size();
}

// The first byte at or after from that is one of bytes (table marks them).
std::size_t FindAnyOf(std::string_view text, std::size_t from, const std::vector<char>& bytes,
                      const std::array<bool, 256>& table) {
    const char* const t = text.data();
    std::size_t i = from;
#if defined(__SSE2__)
    if (!bytes.empty() && bytes.size() <= 3) {
        const __m128i a = _mm_set1_epi8(bytes[0]);
        const __m128i b = _mm_set1_epi8(bytes[bytes.size() > 1 ? 1 : 0]);
        const __m128i c = _mm_set1_epi8(bytes[bytes.size() > 2 ? 2 : 0]);
        for (; i + 16 <= text.size(); i += 16) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(t + i));
            const __m128i hit = _mm_or_si128(
                _mm_or_si128(_mm_cmpeq_epi8(v, a), _mm_cmpeq_epi8(v, b)), _mm_cmpeq_epi8(v, c));
            const int mask = _mm_movemask_epi8(hit);
            if (mask != 0)
                return i + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(mask)));
        }
    }
#endif
    for (; i < text.size(); ++i)
        if (table[static_cast<unsigned char>(t[i])]) return i;
    return kNone;
}

}  // namespace

std::size_t CharacterLength(std::string_view text, std::size_t at) {
    return static_cast<unsigned char>(text[at]) < 0x80 ? 1 : DecodeCp932(text, at).length;
}

// Answers, for places that never decrease, whether a character starts there;
// runs of single-byte text are passed at once.
class TextFinder::Boundaries {
public:
    explicit Boundaries(std::string_view line) : m_line(line) {}

    bool At(std::size_t at) {
        while (m_position < at) {
            if (!m_highKnown || m_high < m_position) {
                m_high = FirstHighByte(m_line, m_position);
                m_highKnown = true;
            }
            if (m_high >= at) {
                m_position = at;  // only single-byte characters up to at
                break;
            }
            m_position = m_high + CharacterLength(m_line, m_high);
        }
        return m_position == at;
    }
    // The first character start at or after the last place asked about.
    std::size_t Position() const { return m_position; }

private:
    std::string_view m_line;
    std::size_t m_position = 0;
    std::size_t m_high = 0;
    bool m_highKnown = false;
};

TextFinder::TextFinder(std::string needle, bool matchCase)
    : m_needle(std::move(needle)), m_matchCase(matchCase) {
    if (m_matchCase || m_needle.empty()) return;
    for (std::size_t i = 0; i < m_needle.size();) {
        const Cp932Unit unit = DecodeCp932(m_needle, i);
        m_folded.push_back(FoldedKey(unit, static_cast<unsigned char>(m_needle[i])));
        i += unit.length;
    }
    // Every byte that begins a character (or a lone byte) equal to the first one.
    const std::uint32_t first = m_folded.front();
    const auto mark = [this](unsigned byte) {
        if (m_isFirstByte[byte]) return;
        m_isFirstByte[byte] = true;
        m_firstBytes.push_back(static_cast<char>(byte));
    };
    for (unsigned lead = 0; lead < 256; ++lead) {
        const char one[1] = {static_cast<char>(lead)};
        if (FoldedKey(DecodeCp932({one, 1}, 0), static_cast<unsigned char>(lead)) == first)
            mark(lead);
        if (lead < 0x81) continue;
        for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
            const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
            const Cp932Unit unit = DecodeCp932({pair, 2}, 0);
            if (unit.length == 2 && FoldedKey(unit, 0) == first) mark(lead);
        }
    }
}

std::size_t TextFinder::NextCandidate(std::string_view line, std::size_t from) const {
    if (from >= line.size()) return kNone;
    if (!m_matchCase) return FindAnyOf(line, from, m_firstBytes, m_isFirstByte);
    const std::size_t at = FindBytes(line.substr(from), m_needle);
    return at == kNone ? kNone : from + at;
}

std::size_t TextFinder::FoldedMatchLength(std::string_view line, std::size_t at) const {
    std::size_t p = at;
    for (const std::uint32_t wanted : m_folded) {
        if (p >= line.size()) return 0;
        const auto byte = static_cast<unsigned char>(line[p]);
        std::uint32_t key;
        std::size_t length = 1;
        if (byte < 0x80) {
            key = byte >= 'A' && byte <= 'Z' ? byte + 0x20u : byte;
        } else {
            const Cp932Unit unit = DecodeCp932(line, p);
            key = FoldedKey(unit, byte);
            length = unit.length;
        }
        if (key != wanted) return 0;
        p += length;
    }
    return p - at;
}

template <typename Take>
void TextFinder::ForEachMatch(std::string_view line, std::size_t from, Take&& take) const {
    if (m_needle.empty()) return;
    Boundaries boundaries(line);
    std::size_t at = from;
    for (;;) {
        const std::size_t candidate = NextCandidate(line, at);
        if (candidate == kNone) return;
        if (!boundaries.At(candidate)) {
            at = boundaries.Position();  // the candidate was a trail byte
            continue;
        }
        const std::size_t length =
            m_matchCase ? m_needle.size() : FoldedMatchLength(line, candidate);
        if (length > 0 && !take(TextMatch{candidate, length})) return;
        at = candidate + 1;
    }
}

std::optional<TextMatch> TextFinder::FindIn(std::string_view line, std::size_t from) const {
    std::optional<TextMatch> found;
    ForEachMatch(line, from, [&](const TextMatch& match) {
        found = match;
        return false;
    });
    return found;
}

std::optional<TextMatch> TextFinder::FindLastIn(std::string_view line, std::size_t before) const {
    std::optional<TextMatch> last;
    ForEachMatch(line, 0, [&](const TextMatch& match) {
        if (match.start >= before) return false;
        last = match;
        return true;
    });
    return last;
}

}  // namespace pomurina
