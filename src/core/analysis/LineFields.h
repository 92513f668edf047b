#pragma once
// The fields of a log line that both the classification and the host extract
// take apart: the time stamp, the host and the request path.  Places are
// 0-based offsets in the line.
#include <cstddef>
#include <cstring>
#include <string_view>

#include "text/ByteSearch.h"

namespace pomurina {

constexpr std::size_t kNoPlace = std::string_view::npos;

// 28 bytes from the first "[" (from the start when there is none), fewer
// where the line ends sooner.
inline std::string_view TimeFieldOf(std::string_view line) {
    const void* bracket = std::memchr(line.data(), '[', line.size());
    const std::size_t from =
        bracket ? static_cast<std::size_t>(static_cast<const char*>(bracket) - line.data()) : 0;
    return line.substr(from, 28);
}

// Everything before the first blank; empty without one.
inline std::string_view HostOf(std::string_view line) {
    const void* blank = std::memchr(line.data(), ' ', line.size());
    return blank ? line.substr(
                       0, static_cast<std::size_t>(static_cast<const char*>(blank) - line.data()))
                 : std::string_view();
}

// The text between the method and the first " HTTP" after the quote at
// quoteAt, the method taking skip bytes after the quote; empty without " HTTP".
inline std::string_view PathAfter(std::string_view line, std::size_t quoteAt, std::size_t skip) {
    const std::string_view rest = line.substr(quoteAt + 1);
    const std::size_t http = FindBytes(rest, " HTTP");
    if (http == std::string_view::npos || http < skip) return {};
    const std::size_t from = quoteAt + 1 + skip;
    return from >= line.size() ? std::string_view() : line.substr(from, http - skip);
}

// The path of a GET request whose "GET  quote stands at getAt.
inline std::string_view GetPathAt(std::string_view line, std::size_t getAt) {
    return PathAfter(line, getAt, 4);
}

// The path of a POST request whose "POST quote stands at postAt: the byte
// after POST is skipped whatever it is.
inline std::string_view PostPathAt(std::string_view line, std::size_t postAt) {
    return PathAfter(line, postAt, 5);
}

// The request path of a line that is neither GET nor POST: after the first
// blank that follows the first quote, up to the first " HTTP" after that blank.
std::string_view OtherRequestPath(std::string_view line);

// The request path of the host extract's entries, given the places of the
// first "GET  and "POST markers (kNoPlace when absent).
inline std::string_view RequestPathOf(std::string_view line, std::size_t getAt,
                                      std::size_t postAt) {
    if (getAt != kNoPlace) return GetPathAt(line, getAt);
    if (postAt != kNoPlace) return PostPathAt(line, postAt);
    return OtherRequestPath(line);
}

// The request path of the host extract's entries, the markers looked for here.
std::string_view RequestPathOf(std::string_view line);

}  // namespace pomurina
