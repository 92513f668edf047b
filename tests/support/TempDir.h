#pragma once
// A fresh directory for one test, removed with everything in it at the end;
// the current directory the test started in comes back too.
#include <filesystem>
#include <string>

namespace pomurina::testing {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return m_path; }
    // Writes bytes to name under the directory (folders made as needed); returns the full path.
    std::string WriteFile(const std::string& name, const std::string& bytes) const;
    std::string ReadFile(const std::string& name) const;

private:
    std::filesystem::path m_path;
    std::filesystem::path m_previousCwd;
};

std::string ReadFileBytes(const std::filesystem::path& path);
void WriteFileBytes(const std::filesystem::path& path, const std::string& bytes);

}  // namespace pomurina::testing
