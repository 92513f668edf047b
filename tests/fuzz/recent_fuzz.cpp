// The recent-files list read from a file anyone may have edited: at most five
// absolute paths, each once, that come back exactly when written and read again.
#include <algorithm>
#include <cstdint>
#include <string>

#include "FuzzCheck.h"
#include "lists/RecentFiles.h"

using namespace pomurina;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> paths = RecentFiles::Parse(text);
    FUZZ_CHECK(paths.size() <= RecentFiles::kMaximum);
    for (std::size_t i = 0; i < paths.size(); ++i) {
        FUZZ_CHECK(!paths[i].empty() && paths[i][0] == '/');
        FUZZ_CHECK(paths[i].find('\0') == std::string::npos);
        FUZZ_CHECK(std::count(paths.begin(), paths.end(), paths[i]) == 1);
    }
    FUZZ_CHECK(RecentFiles::Parse(RecentFiles::Text(paths)) == paths);
    return 0;
}
