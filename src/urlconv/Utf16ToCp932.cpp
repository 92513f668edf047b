#include "urlconv/Utf16ToCp932.h"

#include <iconv.h>

#include <bit>
#include <cerrno>
#include <stdexcept>

namespace pomurina {
namespace {

// glibc's "CP932" prefers the IBM codes FA-FC for the extended kanji, as
// Windows does.  No transliteration: what the table lacks is substituted here.
class Cp932Encoder {
public:
    Cp932Encoder()
        : m_cd(iconv_open("CP932",
                          std::endian::native == std::endian::little ? "UTF-32LE" : "UTF-32BE")) {
        if (m_cd == reinterpret_cast<iconv_t>(-1))
            throw std::runtime_error("iconv cannot convert UTF-32 to CP932");
    }
    ~Cp932Encoder() { iconv_close(m_cd); }
    Cp932Encoder(const Cp932Encoder&) = delete;
    Cp932Encoder& operator=(const Cp932Encoder&) = delete;

    // Appends the characters of run, '?' for each the table lacks.
    void Append(std::u32string_view run, std::string& out) {
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        char* in = const_cast<char*>(reinterpret_cast<const char*>(run.data()));
        std::size_t inLeft = run.size() * sizeof(char32_t);
        // Two bytes per character always suffice, so the output never runs short.
        const std::size_t start = out.size();
        out.resize(start + run.size() * 2);
        char* dst = out.data() + start;
        std::size_t dstLeft = run.size() * 2;
        while (inLeft > 0) {
            if (iconv(m_cd, &in, &inLeft, &dst, &dstLeft) != static_cast<std::size_t>(-1)) break;
            if (errno != EILSEQ && errno != EINVAL)
                throw std::runtime_error("iconv failed converting to CP932");
            *dst++ = '?';
            --dstLeft;
            in += sizeof(char32_t);
            inLeft -= sizeof(char32_t);
        }
        out.resize(out.size() - dstLeft);
    }

private:
    iconv_t m_cd;
};

bool IsHighSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsLowSurrogate(char16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

}  // namespace

std::string Utf16ToCp932(std::u16string_view units) {
    thread_local Cp932Encoder encoder;
    std::string out;
    out.reserve(units.size() * 2);
    // Characters go to the table in runs; a surrogate ends a run and is a '?'
    // of its own (code page 932 has nothing beyond the 16-bit range).
    std::u32string run;
    run.reserve(units.size());
    for (std::size_t i = 0; i < units.size(); ++i) {
        const char16_t unit = units[i];
        if (!IsHighSurrogate(unit) && !IsLowSurrogate(unit)) {
            run += static_cast<char32_t>(unit);
            continue;
        }
        encoder.Append(run, out);
        run.clear();
        out += '?';
        if (IsHighSurrogate(unit) && i + 1 < units.size() && IsLowSurrogate(units[i + 1])) ++i;
    }
    encoder.Append(run, out);
    return out;
}

}  // namespace pomurina
