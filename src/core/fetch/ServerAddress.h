#pragma once
// The server field: a host name or address with an optional port, written
// host, host:port, [IPv6 address] or [IPv6 address]:port; an IPv6 address
// without brackets takes the default port.
#include <optional>
#include <string>
#include <string_view>

namespace pomurina {

struct ServerAddress {
    std::string host;  // without brackets
    int port = 0;

    // host:port as the user writes it, an IPv6 address in brackets.
    std::string Text() const;
};

// The address the field names, or nothing when it names none: an empty host,
// a port that is not 1 to 65535 in decimal digits, unbalanced brackets, or a
// host holding a blank, a control character or one of "/?#@[]".
std::optional<ServerAddress> ParseServerAddress(std::string_view field, int defaultPort);

}  // namespace pomurina
