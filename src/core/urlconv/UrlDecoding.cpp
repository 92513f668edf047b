#include "urlconv/UrlDecoding.h"

#include "text/Cp932.h"
#include "Errors.h"
#include "urlconv/Utf16ToCp932.h"

namespace pomurina {
namespace {

// The decoder's own reading of UTF-8: one-, two- and three-byte sequences
// only, the length told by bit 0x20 of the first byte, so the first byte of a
// longer sequence starts a three-byte one.  Anything malformed empties the
// whole result.
std::u16string ReadUtf8(std::string_view bytes) {
    std::u16string units;
    units.reserve(bytes.size());
    std::size_t i = 0;
    const auto next = [&] { return static_cast<unsigned char>(bytes[i++]); };
    while (i < bytes.size()) {
        const unsigned first = next();
        if (first < 0x80) {
            units += static_cast<char16_t>(first);
            continue;
        }
        const bool threeBytes = (first & 0x20) != 0;
        const std::size_t trailing = threeBytes ? 2 : 1;
        if (bytes.size() - i < trailing) return {};
        unsigned value = first & (threeBytes ? 0x0F : 0x1F);
        for (std::size_t k = 0; k < trailing; ++k) {
            const unsigned byte = next();
            if ((byte & 0xC0) != 0x80) return {};
            value = (value << 6) | (byte & 0x3F);
        }
        units += static_cast<char16_t>(value);
    }
    return units;
}

}  // namespace

int HexCharToInt(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    throw ConvertError(Utf8ToCp932("不正な16進数文字"));
}

int HexToInt(std::string_view text) {
    // Unsigned, so a text longer than the two digits it is given wraps instead of overflowing.
    unsigned value = 0;
    for (const char c : text) value = value * 16 + static_cast<unsigned>(HexCharToInt(c));
    return static_cast<int>(value);
}

std::string URLDecode(std::string_view text) {
    std::string bytes;
    bytes.reserve(text.size());
    try {
        while (!text.empty()) {
            if (text.front() == '%') {
                const std::string_view digits = text.substr(1, 2);
                bytes += static_cast<char>(HexToInt(digits));
                text.remove_prefix(1 + digits.size());
            } else {
                bytes += text.front();
                text.remove_prefix(1);
            }
        }
    } catch (const ConvertError&) {
        throw ConvertError(Utf8ToCp932("不正なURL"));
    }
    return Utf16ToCp932(ReadUtf8(bytes));
}

}  // namespace pomurina
