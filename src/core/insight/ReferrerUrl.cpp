#include "insight/ReferrerUrl.h"

#include "insight/ByteScan.h"
#include "insight/Hashing.h"

namespace pomurina {
namespace {

// The length of "http://" or "https://" (in any letter case) at the start
// of text, or 0.  Setting the 0x20 bit makes a capital letter small and
// maps no other byte to a small letter.
std::size_t SchemeLength(std::string_view text) {
    if (text.size() < 7 || (Load4(text.data()) | 0x20202020u) != Load4("http")) return 0;
    const std::string_view after = text.substr(4);
    if (after.starts_with("://")) return 7;
    return (after[0] | 0x20) == 's' && after.substr(1).starts_with("://") ? 8 : 0;
}

}  // namespace

std::optional<ReferrerUrl> ReadReferrerUrl(std::string_view referrer) {
    const std::size_t scheme = SchemeLength(referrer);
    if (scheme == 0) return std::nullopt;
    const std::string_view rest = referrer.substr(scheme);
    const char* const end = rest.data() + rest.size();
    const char* const hostEnd = FindFirstOf(rest.data(), end, '/', '?', '#');
    std::string_view host(rest.data(), static_cast<std::size_t>(hostEnd - rest.data()));
    if (FindByte(host.data(), hostEnd, '@') != hostEnd) host.remove_prefix(host.rfind('@') + 1);
    // Most hosts have no port and no brackets.
    const char* const mark = FindFirstOf(host.data(), hostEnd, ':', '[', '[');
    bool bracketed = false;
    for (auto i = static_cast<std::size_t>(mark - host.data()); i < host.size(); ++i) {
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
    const char* const queryMark = FindFirstOf(hostEnd, end, '?', '#', '#');
    if (queryMark != end && *queryMark == '?') {
        const char* const query = queryMark + 1;
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
