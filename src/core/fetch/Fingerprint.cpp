#include "fetch/Fingerprint.h"

#include "text/Base64.h"
#include "text/CaseFold.h"

namespace pomurina {
namespace {

constexpr std::string_view kHostKeyPrefix = "SHA256:";

// The hex digits of a certificate's fingerprint in upper case, without colons;
// empty when anything else is in it.
std::string HexDigits(std::string_view text) {
    std::string digits;
    for (char c : text) {
        if (c == ':') continue;
        if (c >= 'a' && c <= 'f') c = static_cast<char>(c - 'a' + 'A');
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'))) return {};
        digits += c;
    }
    return digits;
}

}  // namespace

std::string HostKeyFingerprint(std::string_view digest) {
    std::string text(kHostKeyPrefix);
    AppendBase64(digest, text);
    while (text.back() == '=') text.pop_back();
    return text;
}

std::string CertificateFingerprint(std::string_view digest) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string text;
    for (char c : digest) {
        if (!text.empty()) text += ':';
        const auto b = static_cast<unsigned char>(c);
        text += kHex[b >> 4];
        text += kHex[b & 15];
    }
    return text;
}

bool SameFingerprint(std::string_view given, std::string_view actual) {
    while (!given.empty() && (given.front() == ' ' || given.front() == '\t'))
        given.remove_prefix(1);
    while (!given.empty() && (given.back() == ' ' || given.back() == '\t' || given.back() == '\n' ||
                              given.back() == '\r'))
        given.remove_suffix(1);
    if (actual.starts_with(kHostKeyPrefix)) {
        if (StartsWithIgnoringAsciiCase(given, kHostKeyPrefix))
            given.remove_prefix(kHostKeyPrefix.size());
        while (given.ends_with('=')) given.remove_suffix(1);
        return !given.empty() && given == actual.substr(kHostKeyPrefix.size());
    }
    const auto equals = given.find('=');
    if (equals != std::string_view::npos &&
        StartsWithIgnoringAsciiCase(given.substr(0, equals), "sha256 fingerprint"))
        given.remove_prefix(equals + 1);
    const std::string digits = HexDigits(given);
    return !digits.empty() && digits == HexDigits(actual);
}

}  // namespace pomurina
