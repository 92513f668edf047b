#pragma once
// The data folder: where materia/ (the lists, the FTP settings, setup.ini)
// and logs/ (logs fetched by FTP) live.  A materia/ folder beside the program
// (the build folder, a portable copy) is used as it is; an installed program
// keeps its data in the user's XDG data folder, filled from the installed
// defaults only where a file is absent.  Both programs follow this one rule.
#include <string>

namespace pomurina {

// What the rule reads from the environment.
struct DataFolderEnvironment {
    std::string xdgDataHome;  // $XDG_DATA_HOME
    std::string home;         // $HOME, else the account's home folder
};

// The environment of this process.
DataFolderEnvironment CurrentDataFolderEnvironment();

// Where the data lives and whether that is beside the program.
struct DataFolderChoice {
    std::string folder;
    bool besideProgram = true;
};

// The program's directory when a materia/ folder stands in it; otherwise
// $XDG_DATA_HOME/pomurina, or ~/.local/share/pomurina when XDG_DATA_HOME is
// unset, empty or relative.  With no usable home either, the program's directory.
DataFolderChoice ChooseDataFolder(const std::string& programDirectory,
                                  const DataFolderEnvironment& environment);

// The installed defaults (a materia/ folder inside) as found from the
// installed program's directory.
std::string InstalledDefaults(const std::string& programDirectory);

// Creates folder (owner-only, with any missing parents), folder/materia and
// folder/logs, and copies every regular file under defaults to the same place
// under folder where no file of that name exists.  Nothing present is ever
// replaced, and an interrupted copy leaves no partial file.  A folder or file
// that can't be created throws FileCreateError naming it; a default that
// can't be read, FileOpenError.
void FillDataFolder(const std::string& folder, const std::string& defaults);

// At a program's start: chooses the data folder from the program's
// directory and the environment and, unless it is beside the program, fills
// it from the installed defaults; remembers it for DataFolder().  Throws as
// FillDataFolder.
DataFolderChoice SetUpDataFolder(const std::string& programDirectory);

// The folder that holds materia/ and logs/: the one SetUpDataFolder() chose,
// or ProgramDirectory() before it ran.  One value for the process, chosen
// once at start-up and read by the windows that keep data.
std::string DataFolder();

// Makes DataFolder() answer folder ("" forgets any choice); returns the
// previous setting.  Tests set it through a guard that puts it back.
std::string SetDataFolder(std::string folder);

// Makes folder the current directory.  A failure is not reported: it shows
// itself when a file named relative to the folder is then not found.
void EnterFolder(const std::string& folder);

}  // namespace pomurina
