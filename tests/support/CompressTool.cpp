#include "CompressTool.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include "TempDir.h"

namespace pomurina::testing {

const std::vector<CompressTool>& CompressTools() {
    static const std::vector<CompressTool> tools = {
        {"gzip -n", ".gz"}, {"bzip2", ".bz2"}, {"xz", ".xz"}, {"zstd -q", ".zst"}};
    return tools;
}

std::string RunFilter(const std::string& command, const std::string& bytes) {
    const auto in = std::filesystem::temp_directory_path() /
                    ("pomurina-filter-" + std::to_string(::getpid()) + ".in");
    WriteFileBytes(in, bytes);
    const std::string line = command + " < '" + in.string() + "'";
    FILE* pipe = ::popen(line.c_str(), "r");
    if (!pipe) throw std::runtime_error("cannot run " + command);
    std::string out;
    char buffer[65536];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
    const int status = ::pclose(pipe);
    std::filesystem::remove(in);
    if (status != 0) throw std::runtime_error(command + " failed");
    return out;
}

}  // namespace pomurina::testing
