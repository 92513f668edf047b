#include "insight/ReferrerUrl.h"

namespace pomurina {
namespace {

// Whether text begins with the lowercase prefix, in any letter case.
bool StartsWithFolded(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        const char c = text[i];
        if ((c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c) != prefix[i])
            return false;
    }
    return true;
}

}  // namespace

std::optional<ReferrerUrl> ReadReferrerUrl(std::string_view referrer) {
    std::string_view rest;
    if (StartsWithFolded(referrer, "http://"))
        rest = referrer.substr(7);
    else if (StartsWithFolded(referrer, "https://"))
        rest = referrer.substr(8);
    else
        return std::nullopt;
    const std::size_t hostEnd = rest.find_first_of("/?#");
    std::string_view host = rest.substr(0, hostEnd);
    const std::size_t at = host.rfind('@');
    if (at != std::string_view::npos) host.remove_prefix(at + 1);
    bool bracketed = false;
    for (std::size_t i = 0; i < host.size(); ++i) {
        if (host[i] == '[') {
            bracketed = true;
        } else if (host[i] == ']') {
            bracketed = false;
        } else if (host[i] == ':' && !bracketed) {
            host = host.substr(0, i);
            break;
        }
    }
    ReferrerUrl url{host, {}};
    if (hostEnd != std::string_view::npos) {
        const std::string_view tail = rest.substr(hostEnd);
        const std::size_t mark = tail.find_first_of("?#");
        if (mark != std::string_view::npos && tail[mark] == '?') {
            const std::string_view query = tail.substr(mark + 1);
            url.query = query.substr(0, query.find('#'));
        }
    }
    return url;
}

void AppendAsciiLower(std::string_view text, std::string& out) {
    for (const char c : text) out += c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace pomurina
