#pragma once
// A program directory of its own for one test, as the windows, the report
// tool and the fetch expect one: materia/ (the three lists, empty, or every
// default file) and logs/; DataFolder() answers it until the end, when it is
// removed and the current directory comes back.
#include <initializer_list>
#include <string>

#include "ScopedSeams.h"
#include "TempDir.h"

namespace pomurina::testing {

class ProgramDir : public TempDir {
public:
    // What materia/ starts with.
    enum class Materia { EmptyLists, Defaults };

    explicit ProgramDir(Materia materia = Materia::EmptyLists);

    // Writes a list file under materia/ (entries joined with CR LF).
    void WriteList(const std::string& name, std::initializer_list<std::string> entries) const;
    void RemoveFile(const std::string& name) const;

private:
    ScopedDataFolder m_dataFolder{Path().string()};
};

}  // namespace pomurina::testing
