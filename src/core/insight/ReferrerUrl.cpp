#include "insight/ReferrerUrl.h"

#include "insight/ByteScan.h"

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
    const char* const end = rest.data() + rest.size();
    const char* const hostEnd = FindFirstOf(rest.data(), end, '/', '?', '#');
    std::string_view host(rest.data(), static_cast<std::size_t>(hostEnd - rest.data()));
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
    const char* const mark = FindFirstOf(hostEnd, end, '?', '#', '#');
    if (mark != end && *mark == '?') {
        const char* const query = mark + 1;
        url.query =
            std::string_view(query, static_cast<std::size_t>(FindByte(query, end, '#') - query));
    }
    return url;
}

void AppendAsciiLower(std::string_view text, std::string& out) {
    const std::size_t from = out.size();
    out.resize(from + text.size());
    char* to = out.data() + from;
    for (const char c : text) *to++ = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace pomurina
