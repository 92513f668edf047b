#include "fetch/FetchSizeLimit.h"

#include <algorithm>

#include "io/FileIo.h"

namespace pomurina {

std::uint64_t SizeLimitForFreeSpace(std::uint64_t free) {
    constexpr std::uint64_t kLeastMargin = std::uint64_t{100} << 20;
    const std::uint64_t margin = std::max(free / 20, kLeastMargin);
    return free > margin ? free - margin : 0;
}

std::optional<std::uint64_t> FetchSizeLimit(const std::string& folder) {
    struct statvfs info {};
    if (CurrentFileIo().statvfs(folder.c_str(), &info) != 0) return std::nullopt;
    // The blocks a user may take: root's reserve is not for logs.
    const std::uint64_t blocks = info.f_bavail, blockSize = info.f_frsize;
    const std::uint64_t free =
        blockSize != 0 && blocks > UINT64_MAX / blockSize ? UINT64_MAX : blocks * blockSize;
    return SizeLimitForFreeSpace(free);
}

}  // namespace pomurina
