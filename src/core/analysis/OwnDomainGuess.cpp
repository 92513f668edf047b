#include "analysis/OwnDomainGuess.h"

#include <unordered_map>

namespace pomurina {
namespace {

constexpr std::size_t kLongestHost = 253;

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        const char c = text[i];
        if ((c >= 'A' && c <= 'Z' ? static_cast<char>(c + 0x20) : c) != prefix[i]) return false;
    }
    return true;
}

bool IsNameByte(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '_' || c == '.';
}

bool IsAddressByte(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F') || c == ':' ||
           c == '.';
}

}  // namespace

std::string_view ReferrerHost(std::string_view referrer) {
    std::size_t start;
    if (StartsWithNoCase(referrer, "http://"))
        start = 7;
    else if (StartsWithNoCase(referrer, "https://"))
        start = 8;
    else
        return {};
    // The authority ends at the path, the query or the fragment; the host
    // follows any user name.
    std::size_t end = start;
    while (end < referrer.size() && referrer[end] != '/' && referrer[end] != '?' &&
           referrer[end] != '#') {
        if (referrer[end] == '@') start = end + 1;
        ++end;
    }
    const std::string_view rest = referrer.substr(start, end - start);
    std::string_view host;
    if (rest.starts_with('[')) {
        const std::size_t close = rest.find(']');
        if (close == std::string_view::npos || close < 3) return {};
        for (const char c : rest.substr(1, close - 1))
            if (!IsAddressByte(c)) return {};
        if (close + 1 < rest.size() && rest[close + 1] != ':') return {};
        host = rest.substr(0, close + 1);
    } else {
        host = rest.substr(0, rest.find(':'));
        for (const char c : host)
            if (!IsNameByte(c)) return {};
    }
    return host.size() <= kLongestHost ? host : std::string_view();
}

std::string MostReferringHost(const EntryList& entries, std::size_t referrerPiece) {
    struct Seen {
        std::size_t count = 0;
        std::size_t first = 0;
    };
    std::unordered_map<std::string_view, Seen> hosts;
    std::string_view best;
    Seen bestSeen;
    for (std::size_t i = 0; i < entries.Count(); ++i) {
        const std::string_view host = ReferrerHost(entries.Piece(i, referrerPiece));
        if (host.empty()) continue;
        Seen& seen = hosts.try_emplace(host, Seen{0, i}).first->second;
        ++seen.count;
        if (seen.count > bestSeen.count ||
            (seen.count == bestSeen.count && seen.first < bestSeen.first)) {
            best = host;
            bestSeen = seen;
        }
    }
    return std::string(best);
}

std::string OwnDomainGuess(const RunResult& run) {
    // Entries "Time [Referrer] Path": the referrer is their second piece.
    if (run.ownDomainsListed || !run.referrers) return {};
    return MostReferringHost(*run.referrers, 1);
}

}  // namespace pomurina
