#include "io/SameFile.h"

#include <sys/stat.h>
#include <unistd.h>

#include "io/FileIo.h"
#include "io/LogFiles.h"
#include "text/Cp932.h"
#include "Errors.h"

namespace pomurina {

bool IsOneOfLogs(const std::string& path, const std::vector<std::string>& logs) {
    struct stat output {};
    if (::stat(path.c_str(), &output) != 0) return false;
    for (const std::string& log : logs) {
        struct stat read {};
        const int found =
            log == kStandardInput ? ::fstat(STDIN_FILENO, &read) : ::stat(log.c_str(), &read);
        if (found == 0 && read.st_dev == output.st_dev && read.st_ino == output.st_ino) return true;
    }
    return false;
}

void RefuseAnalysedLog(const std::string& path, const std::vector<std::string>& logs) {
    if (IsOneOfLogs(path, logs))
        throw FileCreateError(
            FileCreateErrorText(PathText(FullPath(path)), Utf8ToCp932("解析したログそのものです")));
}

}  // namespace pomurina
