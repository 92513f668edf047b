#include "TempDir.h"

#include <stdlib.h>

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace pomurina::testing {

namespace fs = std::filesystem;

TempDir::TempDir() : m_previousCwd(fs::current_path()) {
    std::string pattern = (fs::temp_directory_path() / "pomurina-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    m_path = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    fs::current_path(m_previousCwd, ignored);
    fs::remove_all(m_path, ignored);
}

std::string TempDir::WriteFile(const std::string& name, const std::string& bytes) const {
    const fs::path path = m_path / name;
    fs::create_directories(path.parent_path());
    WriteFileBytes(path, bytes);
    return path.string();
}

std::string TempDir::ReadFile(const std::string& name) const {
    return ReadFileBytes(m_path / name);
}

std::string ReadFileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void WriteFileBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

}  // namespace pomurina::testing
