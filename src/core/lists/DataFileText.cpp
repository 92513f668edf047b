#include "lists/DataFileText.h"

#include <sys/stat.h>

#include <cerrno>

#include "io/FileIo.h"

namespace pomurina {

int ReadDataFile(const std::string& path, std::size_t largest, std::string& bytes) {
    const auto notThere = [&](int error) {
        if (error != ENOENT && error != ENOTDIR) return error;
        bytes.clear();
        return 0;
    };
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return notThere(errno);
    if (!S_ISREG(info.st_mode)) return S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
    if (static_cast<std::size_t>(info.st_size) > largest) return EFBIG;
    return notThere(ReadWholeFile(path, bytes));
}

std::string EscapeLineValue(std::string_view value) {
    std::string line;
    for (const char c : value) {
        if (c == '%')
            line += "%25";
        else if (c == '\r')
            line += "%0D";
        else if (c == '\n')
            line += "%0A";
        else if (c == '\t')
            line += "%09";
        else
            line += c;
    }
    return line;
}

std::string UnescapeLineValue(std::string_view line) {
    std::string value;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const std::string_view code = line.substr(i, 3);
        const auto is = [&](const char* escape) {
            return code.size() == 3 && code[0] == escape[0] && code[1] == escape[1] &&
                   (code[2] | 0x20) == (escape[2] | 0x20);
        };
        if (is("%25")) {
            value += '%';
        } else if (is("%0D")) {
            value += '\r';
        } else if (is("%0A")) {
            value += '\n';
        } else if (is("%09")) {
            value += '\t';
        } else {
            value += line[i];
            continue;
        }
        i += 2;
    }
    return value;
}

}  // namespace pomurina
