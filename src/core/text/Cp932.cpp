#include "text/Cp932.h"

#include <iconv.h>

#include <array>
#include <bit>
#include <cerrno>
#include <memory>
#include <stdexcept>

namespace pomurina {
namespace {

// One iconv conversion of a whole text; unconvertible input is handled by the caller's policy.
class Converter {
public:
    Converter(const char* to, const char* from) : m_cd(iconv_open(to, from)) {
        if (m_cd == reinterpret_cast<iconv_t>(-1))
            throw std::runtime_error(std::string("iconv cannot convert ") + from + " to " + to);
    }
    ~Converter() { iconv_close(m_cd); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts as much as possible; returns false at the first invalid or
    // incomplete input, leaving in/inLeft at the offending byte.
    bool Run(const char*& in, std::size_t& inLeft, std::string& out) {
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        char buffer[4096];
        while (inLeft > 0) {
            char* dst = buffer;
            std::size_t dstLeft = sizeof buffer;
            char* src = const_cast<char*>(in);
            const std::size_t rc = iconv(m_cd, &src, &inLeft, &dst, &dstLeft);
            const int error = errno;
            in = src;
            out.append(buffer, static_cast<std::size_t>(dst - buffer));
            if (rc == static_cast<std::size_t>(-1) && error != E2BIG) return false;
        }
        return true;
    }

private:
    iconv_t m_cd;
};

// Code points of every two-byte code of code page 932, built once.  Each
// lead byte's row goes through iconv in one call, resumed past each pair it
// rejects: a pair at a time took a quarter longer.
class DoubleByteTable {
public:
    DoubleByteTable() {
        Converter toUtf32("UTF-32LE", "CP932");
        for (unsigned lead = 0x81; lead <= 0xFC; ++lead)
            if (IsLead(lead)) ReadRow(toUtf32, lead);
    }
    static bool IsLead(unsigned b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
    std::uint32_t At(unsigned lead, unsigned trail) const {
        const std::uint32_t cp = m_codes[lead << 8 | trail];
        return cp != kNone ? cp : Cp932Unit::kInvalid;
    }

private:
    static constexpr unsigned kFirstTrail = 0x40, kLastTrail = 0xFC;
    // No pair decodes to U+0000, so zero marks a pair that isn't a code: the
    // rows no lead byte begins are never written, and never faulted in.
    static constexpr std::uint32_t kNone = 0;

    void ReadRow(Converter& toUtf32, unsigned lead) {
        std::string row;
        for (unsigned trail = kFirstTrail; trail <= kLastTrail; ++trail)
            if (trail != 0x7F) row += {static_cast<char>(lead), static_cast<char>(trail)};
        if (ReadPairs(toUtf32, row)) return;
        // A code that isn't one code point: each pair on its own, such codes left out.
        for (std::size_t at = 0; at < row.size(); at += 2) {
            const std::string_view pair = std::string_view(row).substr(at, 2);
            m_codes[Index(pair)] = kNone;
            if (!ReadPairs(toUtf32, pair)) m_codes[Index(pair)] = kNone;
        }
    }

    // Reads the codes of pairs (lead and trail bytes one after another) in
    // one call, resumed past each pair iconv rejects; false when the code
    // points don't line up with the pairs, one each.
    bool ReadPairs(Converter& toUtf32, std::string_view pairs) {
        const char* in = pairs.data();
        std::size_t left = pairs.size();
        while (left > 0) {
            const char* const start = in;
            std::string out;
            const bool whole = toUtf32.Run(in, left, out);
            const std::size_t count = static_cast<std::size_t>(in - start) / 2;
            if (out.size() != count * 4 || (in - pairs.data()) % 2 != 0) return false;
            for (std::size_t i = 0; i < count; ++i)
                m_codes[Index(std::string_view(start + 2 * i, 2))] = CodePointAt(out, 4 * i);
            if (!whole) {  // the pair at in isn't a code
                in += 2;
                left -= 2;
            }
        }
        return true;
    }

    static std::size_t Index(std::string_view pair) {
        return std::size_t{static_cast<unsigned char>(pair[0])} << 8 |
               static_cast<unsigned char>(pair[1]);
    }

    static std::uint32_t CodePointAt(const std::string& utf32, std::size_t at) {
        std::uint32_t cp = 0;
        for (std::size_t i = 4; i-- > 0;)
            cp = (cp << 8) | static_cast<unsigned char>(utf32[at + i]);
        return cp;
    }

    // Left as static storage starts it, all zero: filling it would fault in
    // every page of it (see Table()).
    std::array<std::uint32_t, 65536> m_codes;
};

const DoubleByteTable& Table() {
    static const DoubleByteTable table;  // static: its codes start as zero
    return table;
}

}  // namespace

void AppendUtf8(std::uint32_t cp, std::string& out) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

Cp932Unit DecodeCp932(std::string_view text, std::size_t at) {
    const unsigned b = static_cast<unsigned char>(text[at]);
    if (b < 0x80) return {b, 1};
    if (b >= 0xA1 && b <= 0xDF) return {0xFF61 + (b - 0xA1), 1};  // half-width katakana
    if (DoubleByteTable::IsLead(b) && at + 1 < text.size()) {
        const std::uint32_t cp = Table().At(b, static_cast<unsigned char>(text[at + 1]));
        if (cp != Cp932Unit::kInvalid) return {cp, 2};
    }
    return {Cp932Unit::kInvalid, 1};
}

std::string Cp932ToUtf8(std::string_view sjis) {
    std::string out;
    out.reserve(sjis.size() + sjis.size() / 2);
    for (std::size_t i = 0; i < sjis.size();) {
        const Cp932Unit unit = DecodeCp932(sjis, i);
        AppendUtf8(unit.codePoint == Cp932Unit::kInvalid ? 0xFFFD : unit.codePoint, out);
        i += unit.length;
    }
    return out;
}

std::string CodePointsToCp932(std::u32string_view codePoints) {
    thread_local Converter fromCodePoints(
        "CP932", std::endian::native == std::endian::little ? "UTF-32LE" : "UTF-32BE");
    std::string out;
    out.reserve(codePoints.size() * 2);
    const char* in = reinterpret_cast<const char*>(codePoints.data());
    std::size_t left = codePoints.size() * sizeof(char32_t);
    while (!fromCodePoints.Run(in, left, out)) {
        in += sizeof(char32_t);
        left -= sizeof(char32_t);
        out += '?';
    }
    return out;
}

std::string Utf8ToCp932(std::string_view utf8) {
    thread_local Converter toCp932("CP932", "UTF-8");
    std::string out;
    const char* in = utf8.data();
    std::size_t left = utf8.size();
    while (!toCp932.Run(in, left, out)) {
        // Skip the whole UTF-8 sequence that can't be converted and put '?' for it.
        std::size_t skip = 1;
        while (skip < left && (static_cast<unsigned char>(in[skip]) & 0xC0) == 0x80) ++skip;
        in += skip;
        left -= skip;
        out += '?';
    }
    return out;
}

}  // namespace pomurina
