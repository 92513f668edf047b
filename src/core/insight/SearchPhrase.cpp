#include "insight/SearchPhrase.h"

#include <unicode/normalizer2.h>
#include <unicode/unistr.h>

#include <algorithm>
#include <stdexcept>

#include "text/Cp932.h"
#include "text/EucJp.h"
#include "text/Utf8Text.h"

namespace pomurina {
namespace {

enum class Charset { Unnamed, Utf8, ShiftJis, EucJp };

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool SameFolded(std::string_view text, std::string_view lower) {
    if (text.size() != lower.size()) return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if ((c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c) != lower[i]) return false;
    }
    return true;
}

Charset CharsetNamed(std::string_view name) {
    for (const char* utf8 : {"utf-8", "utf8"})
        if (SameFolded(name, utf8)) return Charset::Utf8;
    for (const char* sjis : {"shift_jis", "sjis", "cp932", "windows-31j", "x-sjis"})
        if (SameFolded(name, sjis)) return Charset::ShiftJis;
    for (const char* euc : {"euc-jp", "eucjp", "x-euc-jp"})
        if (SameFolded(name, euc)) return Charset::EucJp;
    return Charset::Unnamed;
}

// The charset named by the first ie or ei item that names one.
Charset NamedCharset(std::string_view query) {
    for (std::size_t from = 0; from <= query.size();) {
        const std::size_t end = std::min(query.find('&', from), query.size());
        const std::string_view item = query.substr(from, end - from);
        from = end + 1;
        const std::size_t equals = item.find('=');
        if (equals == std::string_view::npos) continue;
        const std::string_view name = item.substr(0, equals);
        if (!SameFolded(name, "ie") && !SameFolded(name, "ei")) continue;
        const Charset charset = CharsetNamed(item.substr(equals + 1));
        if (charset != Charset::Unnamed) return charset;
    }
    return Charset::Unnamed;
}

// The characters of bytes in charset appended to out; false at a byte that
// doesn't decode.
bool Decode(std::string_view bytes, Charset charset, icu::UnicodeString& out) {
    for (std::size_t i = 0; i < bytes.size();) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (byte < 0x80) {
            out.append(static_cast<UChar32>(byte));
            ++i;
            continue;
        }
        std::uint32_t cp = 0;
        std::size_t length = 0;
        if (charset == Charset::EucJp) {
            const EucJpUnit unit = DecodeEucJp(bytes, i);
            cp = unit.codePoint == EucJpUnit::kInvalid ? 0xFFFFFFFFu : unit.codePoint;
            length = unit.length;
        } else {
            // Single bytes A1-DF are half-width katakana; 80, A0 and FD-FF
            // stand for nothing.
            const Cp932Unit unit = DecodeCp932(bytes, i);
            cp = unit.codePoint;
            length = unit.length;
        }
        if (cp == 0xFFFFFFFFu) return false;
        out.append(static_cast<UChar32>(cp));
        i += length;
    }
    return true;
}

bool IsWhiteSpace(UChar32 c) {
    return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x85 || c == 0xA0 || c == 0x1680 ||
           (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F ||
           c == 0x205F || c == 0x3000;
}

const icu::Normalizer2& Nfkc() {
    static const icu::Normalizer2* const nfkc = [] {
        UErrorCode status = U_ZERO_ERROR;
        const icu::Normalizer2* instance = icu::Normalizer2::getNFKCInstance(status);
        if (U_FAILURE(status)) throw std::runtime_error("ICU has no NFKC data");
        return instance;
    }();
    return *nfkc;
}

}  // namespace

std::string DecodedQueryValue(std::string_view value) {
    std::string bytes;
    bytes.reserve(value.size());
    for (std::size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        if (c == '+') {
            bytes += ' ';
        } else if (c == '%' && i + 2 < value.size() && HexValue(value[i + 1]) >= 0 &&
                   HexValue(value[i + 2]) >= 0) {
            bytes += static_cast<char>(HexValue(value[i + 1]) * 16 + HexValue(value[i + 2]));
            i += 2;
        } else {
            bytes += c;
        }
    }
    return bytes;
}

bool ReadSearchPhrase(std::string_view value, std::string_view query, std::string& phrase) {
    const std::string bytes = DecodedQueryValue(value);
    icu::UnicodeString text;
    const Charset named = NamedCharset(query);
    if (named == Charset::Utf8 || (named == Charset::Unnamed && IsValidUtf8(bytes))) {
        if (!IsValidUtf8(bytes)) return false;
        text = icu::UnicodeString::fromUTF8(bytes);
    } else if (named != Charset::Unnamed) {
        if (!Decode(bytes, named, text)) return false;
    } else if (!Decode(bytes, Charset::EucJp, text)) {
        text.remove();
        if (!Decode(bytes, Charset::ShiftJis, text)) return false;
    }
    UErrorCode status = U_ZERO_ERROR;
    const icu::UnicodeString normal = Nfkc().normalize(text, status);
    if (U_FAILURE(status)) return false;

    phrase.clear();
    bool blankPending = false;
    for (int32_t i = 0; i < normal.length();) {
        const UChar32 c = normal.char32At(i);
        i += U16_LENGTH(c);
        if (IsWhiteSpace(c)) {
            blankPending = !phrase.empty();
            continue;
        }
        if (blankPending) phrase += ' ';
        blankPending = false;
        AppendUtf8(static_cast<std::uint32_t>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c), phrase);
    }
    return !phrase.empty();
}

}  // namespace pomurina
