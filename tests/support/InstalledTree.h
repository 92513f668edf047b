#pragma once
// An installed program's tree and a home of its own, and the environment
// that points at them; everything is put back at the end.
#include <optional>
#include <string>

#include "ScopedSeams.h"
#include "TempDir.h"

namespace pomurina::testing {

// An environment variable set (unset, without a value) until the end, then put back.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const std::optional<std::string>& value);
    ~ScopedEnvironment();
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    const char* m_name;
    std::optional<std::string> m_old;
};

// prefix/bin is the program directory, without materia/ beside it, and
// prefix/share/pomurina is where the defaults are installed (the test puts
// materia/ there); HOME is home and XDG_DATA_HOME is unset.  No data folder
// is chosen, and whatever a start-up chooses is forgotten at the end.
class InstalledTree {
public:
    InstalledTree();

    // prefix/bin.
    std::string ProgramDirectory() const;

    TempDir prefix;
    TempDir home;

private:
    ScopedEnvironment m_xdg{"XDG_DATA_HOME", std::nullopt};
    ScopedEnvironment m_home{"HOME", home.Path().string()};
    ScopedDataFolder m_dataFolder{""};
};

}  // namespace pomurina::testing
