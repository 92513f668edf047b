#include "analysis/LineFields.h"

namespace pomurina {

std::string_view OtherRequestPath(std::string_view line) {
    const std::size_t quote = line.find('"');
    if (quote == std::string_view::npos) return {};
    const std::size_t blank = line.find(' ', quote + 1);
    if (blank == std::string_view::npos) return {};
    const std::size_t http = FindBytes(line.substr(blank + 1), " HTTP");
    if (http == std::string_view::npos) return {};
    return line.substr(blank + 1, http);
}

std::string_view RequestPathOf(std::string_view line) {
    // The first "GET  decides wherever it stands; the first "POST counts only without one.
    std::size_t post = kNoPlace;
    const char* const base = line.data();
    const std::size_t n = line.size();
    for (std::size_t q = 0; q < n; ++q) {
        const void* hit = std::memchr(base + q, '"', n - q);
        if (!hit) break;
        q = static_cast<std::size_t>(static_cast<const char*>(hit) - base);
        const std::string_view after = line.substr(q + 1, 4);
        if (after == "GET ") return GetPathAt(line, q);
        if (post == kNoPlace && after == "POST") post = q;
    }
    return RequestPathOf(line, kNoPlace, post);
}

}  // namespace pomurina
