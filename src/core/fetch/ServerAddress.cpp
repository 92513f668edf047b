#include "fetch/ServerAddress.h"

#include <algorithm>

namespace pomurina {
namespace {

std::optional<int> PortNumber(std::string_view text) {
    if (text.empty() || text.size() > 5) return std::nullopt;
    int port = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        port = port * 10 + (c - '0');
    }
    if (port < 1 || port > 65535) return std::nullopt;
    return port;
}

bool UsableHost(std::string_view host) {
    return !host.empty() && std::none_of(host.begin(), host.end(), [](char c) {
        const auto b = static_cast<unsigned char>(c);
        return b <= 0x20 || b == 0x7F ||
               std::string_view("/?#@[]\\").find(c) != std::string_view::npos;
    });
}

}  // namespace

std::string ServerAddress::Text() const {
    const bool ipv6 = host.find(':') != std::string::npos;
    return (ipv6 ? "[" + host + "]" : host) + ":" + std::to_string(port);
}

std::optional<ServerAddress> ParseServerAddress(std::string_view field, int defaultPort) {
    std::string_view host = field;
    std::optional<int> port = defaultPort;
    if (field.starts_with('[')) {
        const auto close = field.find(']');
        if (close == std::string_view::npos) return std::nullopt;
        host = field.substr(1, close - 1);
        const std::string_view rest = field.substr(close + 1);
        if (!rest.empty()) {
            if (rest.front() != ':') return std::nullopt;
            port = PortNumber(rest.substr(1));
        }
        // Only an IPv6 address needs brackets.
        if (host.find(':') == std::string_view::npos) return std::nullopt;
    } else if (std::count(field.begin(), field.end(), ':') == 1) {
        const auto colon = field.find(':');
        host = field.substr(0, colon);
        port = PortNumber(field.substr(colon + 1));
    }
    if (!port || !UsableHost(host)) return std::nullopt;
    return ServerAddress{std::string(host), *port};
}

}  // namespace pomurina
