#include "text/Base64.h"

namespace pomurina {

void AppendBase64(std::string_view bytes, std::string& out) {
    static constexpr char kAlphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    out.reserve(out.size() + (bytes.size() + 2) / 3 * 4);
    std::size_t i = 0;
    const auto byte = [&](std::size_t at) { return unsigned{static_cast<unsigned char>(bytes[at])}; };
    for (; i + 3 <= bytes.size(); i += 3) {
        const unsigned group = byte(i) << 16 | byte(i + 1) << 8 | byte(i + 2);
        out += kAlphabet[group >> 18];
        out += kAlphabet[(group >> 12) & 63];
        out += kAlphabet[(group >> 6) & 63];
        out += kAlphabet[group & 63];
    }
    if (i + 1 == bytes.size()) {
        const unsigned group = byte(i) << 16;
        out += kAlphabet[group >> 18];
        out += kAlphabet[(group >> 12) & 63];
        out += "==";
    } else if (i + 2 == bytes.size()) {
        const unsigned group = byte(i) << 16 | byte(i + 1) << 8;
        out += kAlphabet[group >> 18];
        out += kAlphabet[(group >> 12) & 63];
        out += kAlphabet[(group >> 6) & 63];
        out += '=';
    }
}

}  // namespace pomurina
