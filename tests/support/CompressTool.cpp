#include "CompressTool.h"

#include <unistd.h>

#include <filesystem>
#include <stdexcept>

#include "ServerProcess.h"
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
    const test::CommandOutcome filtered = test::RunCommand(command + " < '" + in.string() + "'");
    std::filesystem::remove(in);
    if (filtered.status != 0) throw std::runtime_error(command + " failed");
    return filtered.out;
}

}  // namespace pomurina::testing
