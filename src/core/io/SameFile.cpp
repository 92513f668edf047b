#include "io/SameFile.h"

#include <sys/stat.h>
#include <unistd.h>

#include "io/LogFiles.h"

namespace pomurina {

bool IsAnalysedLog(const std::string& path, const std::vector<std::string>& logs) {
    struct stat target {
    }, log{};
    if (::stat(path.c_str(), &target) != 0) return false;
    for (const std::string& name : logs) {
        const int found =
            name == kStandardInput ? ::fstat(STDIN_FILENO, &log) : ::stat(name.c_str(), &log);
        if (found == 0 && log.st_dev == target.st_dev && log.st_ino == target.st_ino) return true;
    }
    return false;
}

}  // namespace pomurina
