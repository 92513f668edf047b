#include "ProgramDir.h"

#include <filesystem>

namespace pomurina::testing {

namespace fs = std::filesystem;

ProgramDir::ProgramDir(Materia materia) {
    if (materia == Materia::Defaults) {
        fs::copy(fs::path(POMURINA_SOURCE_DIR) / "defaults" / "materia", Path() / "materia");
    } else {
        for (const char* list : {"DomeinList.dat", "CheckDomeinList.dat", "SERobotsList.dat"})
            WriteList(list, {});
    }
    fs::create_directory(Path() / "logs");
}

void ProgramDir::WriteList(const std::string& name,
                           std::initializer_list<std::string> entries) const {
    std::string bytes;
    for (const auto& e : entries) bytes += e + "\r\n";
    WriteFile("materia/" + name, bytes);
}

void ProgramDir::RemoveFile(const std::string& name) const {
    fs::remove(Path() / name);
}

}  // namespace pomurina::testing
