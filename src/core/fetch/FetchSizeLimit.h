#pragma once
// How much a fetch may bring: a server that sends without end (or a log far
// larger than expected) must not fill the disk that holds the user's data.
#include <cstdint>
#include <optional>
#include <string>

namespace pomurina {

// The most bytes a fetch may write where free bytes are free: the free
// space less a margin of 5 % of it or 100 MiB, whichever is larger (0 when
// there isn't that much).
std::uint64_t SizeLimitForFreeSpace(std::uint64_t free);

// The limit for a copy in folder, from the space its file system has free
// for the user; nothing when the system can't tell.
std::optional<std::uint64_t> FetchSizeLimit(const std::string& folder);

}  // namespace pomurina
