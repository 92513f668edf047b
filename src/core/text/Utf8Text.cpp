#include "text/Utf8Text.h"

#include <bitset>

namespace pomurina {
namespace {

// For every code of one or two bytes: whether it converts back to itself.
class RoundTripTable {
public:
    RoundTripTable() {
        for (unsigned first = 0; first < 256; ++first) {
            const std::string single(1, static_cast<char>(first));
            Mark(single);
            for (unsigned second = 0x40; second <= 0xFC; ++second)
                Mark(single + static_cast<char>(second));
        }
    }
    bool Holds(std::string_view code) const { return m_back[Index(code)]; }

private:
    static std::size_t Index(std::string_view code) {
        const auto first = static_cast<unsigned char>(code[0]);
        return code.size() == 1 ? first
                                : 256 + (std::size_t{first} << 8 | static_cast<unsigned char>(code[1]));
    }
    void Mark(const std::string& code) {
        const Cp932Unit unit = DecodeCp932(code, 0);
        if (unit.codePoint == Cp932Unit::kInvalid || unit.length != code.size()) return;
        m_back[Index(code)] =
            CodePointsToCp932(std::u32string(1, static_cast<char32_t>(unit.codePoint))) == code;
    }
    std::bitset<256 + 65536> m_back;
};

// The length of the well-formed UTF-8 sequence at bytes[at], or 0.
std::size_t SequenceLength(std::string_view bytes, std::size_t at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned first = byte(at);
    if (first < 0x80) return 1;
    std::size_t length;
    unsigned low = 0x80, high = 0xBF;  // the range of the second byte
    if (first >= 0xC2 && first <= 0xDF) {
        length = 2;
    } else if (first >= 0xE0 && first <= 0xEF) {
        length = 3;
        if (first == 0xE0) low = 0xA0;   // overlong
        if (first == 0xED) high = 0x9F;  // surrogates
    } else if (first >= 0xF0 && first <= 0xF4) {
        length = 4;
        if (first == 0xF0) low = 0x90;   // overlong
        if (first == 0xF4) high = 0x8F;  // above U+10FFFF
    } else {
        return 0;
    }
    if (bytes.size() - at < length) return 0;
    if (byte(at + 1) < low || byte(at + 1) > high) return 0;
    for (std::size_t i = 2; i < length; ++i)
        if ((byte(at + i) & 0xC0) != 0x80) return 0;
    return length;
}

}  // namespace

bool ConvertsBack(std::string_view text, std::size_t at, const Cp932Unit& unit) {
    if (unit.codePoint == Cp932Unit::kInvalid) return false;
    if (unit.codePoint < 0x80) return true;
    static const RoundTripTable table;
    return table.Holds(text.substr(at, unit.length));
}

bool Cp932RoundTrips(std::string_view sjis) {
    for (std::size_t i = 0; i < sjis.size();) {
        const Cp932Unit unit = DecodeCp932(sjis, i);
        if (!ConvertsBack(sjis, i, unit)) return false;
        i += unit.length;
    }
    return true;
}

bool IsValidUtf8(std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t length = SequenceLength(bytes, i);
        if (length == 0) return false;
        i += length;
    }
    return true;
}

void AppendValidUtf8(std::string_view bytes, std::string& out) {
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t length = SequenceLength(bytes, i);
        if (length == 0) {
            AppendUtf8(0xFFFD, out);
            ++i;
        } else {
            out.append(bytes.substr(i, length));
            i += length;
        }
    }
}

}  // namespace pomurina
