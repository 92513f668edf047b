#include "io/RotatedOrder.h"

#include <algorithm>
#include <string_view>
#include <tuple>

#include "io/CompressionFormat.h"

namespace pomurina {
namespace {

// A rotation number has a few digits; a longer run of digits is a date,
// whose order is the name's.
constexpr std::size_t kLongestRotation = 4;

struct RotationKey {
    std::string_view stem;  // the name without compression suffix and rotation number
    unsigned number = 0;    // 0 for the log being written
};

RotationKey KeyOf(std::string_view path) {
    for (const std::string_view suffix : kCompressedSuffixes) {
        if (path.size() > suffix.size() && path.ends_with(suffix)) {
            path.remove_suffix(suffix.size());
            break;
        }
    }
    std::size_t digits = 0;
    while (digits < path.size() && path[path.size() - 1 - digits] >= '0' &&
           path[path.size() - 1 - digits] <= '9')
        ++digits;
    const std::size_t dot = path.size() - digits - 1;
    if (digits == 0 || digits > kLongestRotation || digits == path.size() || path[dot] != '.')
        return {path, 0};
    unsigned number = 0;
    for (const char c : path.substr(dot + 1)) number = number * 10 + static_cast<unsigned>(c - '0');
    return {path.substr(0, dot), number};
}

}  // namespace

void SortRotatedLogs(std::vector<std::string>& paths) {
    std::stable_sort(paths.begin(), paths.end(), [](const std::string& a, const std::string& b) {
        const RotationKey ka = KeyOf(a), kb = KeyOf(b);
        // Older (higher numbers) first; the same number: by the whole name.
        return std::tie(ka.stem, kb.number, a) < std::tie(kb.stem, ka.number, b);
    });
}

}  // namespace pomurina
