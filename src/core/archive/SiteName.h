#pragma once
// A site's name becomes the name of its folder in the archive; it comes from
// the user or from a server's address, so it is checked before it is joined
// to a path.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace pomurina {

// The longest site name, in bytes.
inline constexpr std::size_t kLongestSiteName = 128;

// Why name can't be a site's name (a Shift-JIS message), or nothing when it
// can: not empty, at most kLongestSiteName bytes, no "/", "\", ".." or
// control byte, and no leading "." (a hidden folder, or a temporary file's
// name).
std::optional<std::string> SiteNameProblem(std::string_view name);

}  // namespace pomurina
