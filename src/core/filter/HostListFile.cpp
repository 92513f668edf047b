#include "filter/HostListFile.h"

#include <sys/stat.h>

#include <cerrno>

#include "Errors.h"
#include "io/FileIo.h"
#include "lists/DataFileText.h"
#include "text/Cp932.h"

namespace pomurina {
namespace {

// A list of a few million ranges is far below this; a larger file isn't one.
constexpr std::size_t kLargestFile = std::size_t{256} << 20;

}  // namespace

HostList LoadHostListFile(const std::string& path, bool missingIsEmpty) {
    struct stat info {};
    if (!missingIsEmpty && ::stat(path.c_str(), &info) != 0) throw FileOpenFailure(path, errno);
    std::string bytes;
    if (const int error = ReadDataFile(path, kLargestFile, bytes))
        throw FileOpenFailure(path, error);
    HostList list = HostList::Parse(bytes);
    if (!list.BadEntries().empty()) {
        const HostList::BadEntry& bad = list.BadEntries().front();
        throw Error(Utf8ToCp932("除外ホストの一覧 \"") + path + Utf8ToCp932("\" の ") +
                    std::to_string(bad.line) + Utf8ToCp932(" 行目 \"") + bad.text +
                    Utf8ToCp932("\" は、ホスト名でもアドレスの範囲（203.0.113.0/24 や "
                                "2001:db8::/32 の形）でもありません"));
    }
    return list;
}

}  // namespace pomurina
