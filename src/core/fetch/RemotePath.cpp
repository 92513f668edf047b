#include "fetch/RemotePath.h"

namespace pomurina {

std::string RemotePath(std::string_view directory, std::string_view fileName) {
    std::string path(directory);
    // "/" is never the second byte of a Shift-JIS character.
    if (!path.empty() && path.back() != '/') path += '/';
    return path.append(fileName);
}

}  // namespace pomurina
