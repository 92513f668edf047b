#pragma once
// The parts of a referrer that names a web page:
// http(s)://[userinfo@]host[:port][/…][?query][#…], the scheme in any letter
// case.  The host part ends at the first '/', '?' or '#'; the user info ends
// at its last '@'; the port starts at the first ':' outside "[…]".
#include <optional>
#include <string>
#include <string_view>

namespace pomurina {

struct ReferrerUrl {
    std::string_view host;   // as written (may be empty)
    std::string_view query;  // after the '?', up to a '#'; empty without one
};

// The parts of referrer, or nothing when it doesn't begin with http:// or https://.
std::optional<ReferrerUrl> ReadReferrerUrl(std::string_view referrer);

// text with A-Z made a-z; other bytes kept.
void AppendAsciiLower(std::string_view text, std::string& out);

}  // namespace pomurina
