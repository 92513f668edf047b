#include "InstalledTree.h"

#include <cstdlib>
#include <filesystem>

namespace pomurina::testing {

ScopedEnvironment::ScopedEnvironment(const char* name, const std::optional<std::string>& value)
    : m_name(name) {
    if (const char* old = std::getenv(name)) m_old = old;
    if (value)
        ::setenv(name, value->c_str(), 1);
    else
        ::unsetenv(name);
}

ScopedEnvironment::~ScopedEnvironment() {
    if (m_old)
        ::setenv(m_name, m_old->c_str(), 1);
    else
        ::unsetenv(m_name);
}

InstalledTree::InstalledTree() {
    std::filesystem::create_directories(prefix.Path() / "bin");
    std::filesystem::create_directories(prefix.Path() / "share/pomurina");
}

std::string InstalledTree::ProgramDirectory() const {
    return (prefix.Path() / "bin").string();
}

}  // namespace pomurina::testing
