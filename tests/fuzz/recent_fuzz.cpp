// The recent-files list read from a file anyone may have edited: at most five
// entries of absolute paths, each entry once, that come back exactly when
// written and read again.
#include <algorithm>
#include <cstdint>
#include <string>

#include "FuzzCheck.h"
#include "lists/RecentFiles.h"

using namespace pomurina;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::vector<RecentFiles::Entry> entries = RecentFiles::Parse(text);
    FUZZ_CHECK(entries.size() <= RecentFiles::kMaximum);
    for (const RecentFiles::Entry& entry : entries) {
        FUZZ_CHECK(!entry.empty());
        for (const std::string& path : entry) {
            FUZZ_CHECK(!path.empty() && path[0] == '/');
            FUZZ_CHECK(path.find('\0') == std::string::npos);
        }
        FUZZ_CHECK(std::count(entries.begin(), entries.end(), entry) == 1);
    }
    FUZZ_CHECK(RecentFiles::Parse(RecentFiles::Text(entries)) == entries);
    return 0;
}
