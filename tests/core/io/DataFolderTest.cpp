// The data folder: which folder holds materia/ and logs/, and how an
// installed program's folder is filled from the defaults without ever
// replacing what the user keeps there.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <filesystem>

#include "InstalledTree.h"
#include "ScopedSeams.h"
#include "TempDir.h"
#include "io/DataFolder.h"
#include "io/FileIo.h"
#include "text/Cp932.h"
#include "Errors.h"

namespace pomurina {
namespace {

namespace fs = std::filesystem;
using testing::ReadFileBytes;
using testing::ScopedEnvironment;
using testing::TempDir;

const char* const kDefaults[] = {"materia/DomeinList.dat", "materia/CheckDomeinList.dat",
                                 "materia/SERobotsList.dat", "materia/FTPSetting.dat",
                                 "materia/setup.ini"};

mode_t ModeOf(const fs::path& path) {
    struct stat info {};
    EXPECT_EQ(::lstat(path.c_str(), &info), 0) << path;
    return info.st_mode & 07777;
}

// --- Which folder -----------------------------------------------------------

TEST(ChooseDataFolder, MateriaBesideTheProgramWinsOverTheEnvironment) {
    const TempDir program;
    fs::create_directory(program.Path() / "materia");
    const auto choice = ChooseDataFolder(program.Path().string(), {"/xdg", "/home/u"});
    EXPECT_EQ(choice.folder, program.Path().string());
    EXPECT_TRUE(choice.besideProgram);
}

TEST(ChooseDataFolder, AwayFromTheProgramTheXdgDataFolderHoldsIt) {
    const TempDir program;
    const std::string dir = program.Path().string();
    const struct {
        DataFolderEnvironment environment;
        const char* folder;
    } cases[] = {
        {{"/xdg", "/home/u"}, "/xdg/pomurina"},
        {{"/xdg/", "/home/u"}, "/xdg/pomurina"},
        {{"", "/home/u"}, "/home/u/.local/share/pomurina"},
        {{"relative/xdg", "/home/u/"}, "/home/u/.local/share/pomurina"},  // ignored, as XDG asks
    };
    for (const auto& c : cases) {
        const auto choice = ChooseDataFolder(dir, c.environment);
        EXPECT_EQ(choice.folder, c.folder) << c.environment.xdgDataHome;
        EXPECT_FALSE(choice.besideProgram);
    }
    // A file named materia is no data folder.
    program.WriteFile("materia", "");
    EXPECT_EQ(ChooseDataFolder(dir, {"/xdg", ""}).folder, "/xdg/pomurina");
    // With no usable home at all, the program's directory, as before.
    EXPECT_EQ(ChooseDataFolder(dir, {"", "relative"}).folder, dir);
    EXPECT_EQ(ChooseDataFolder(dir, {"", ""}).folder, dir);
}

TEST(InstalledDefaults, AreFoundFromTheInstalledProgram) {
    EXPECT_EQ(InstalledDefaults("/opt/p/bin"), "/opt/p/share/pomurina");
}

// --- Filling ----------------------------------------------------------------

class FillDataFolderTest : public ::testing::Test {
protected:
    FillDataFolderTest() {
        for (const char* name : kDefaults)
            defaults.WriteFile(name, std::string("default of ") + name + "\r\n");
    }

    void Fill() const { FillDataFolder(folder.string(), defaults.Path().string()); }

    TempDir defaults;
    TempDir home;
    fs::path folder = home.Path() / "share" / "pomurina";
};

TEST_F(FillDataFolderTest, FirstStartCreatesTheFoldersOwnerOnlyWithEveryDefault) {
    Fill();
    for (const char* name : kDefaults) {
        EXPECT_EQ(ReadFileBytes(folder / name), defaults.ReadFile(name)) << name;
        EXPECT_EQ(ModeOf(folder / name), 0600u) << name;
    }
    EXPECT_TRUE(fs::is_directory(folder / "logs"));
    for (const fs::path& dir : {home.Path() / "share", folder, folder / "materia", folder / "logs"})
        EXPECT_EQ(ModeOf(dir), 0700u) << dir;
    // Nothing but the defaults: no temporary copy is left behind.
    EXPECT_EQ(std::distance(fs::directory_iterator(folder / "materia"), {}), 5);
}

TEST_F(FillDataFolderTest, WhatTheUserKeepsIsNeverReplacedAndWhatIsMissingComesBack) {
    Fill();
    const std::string edited = "mine.example.jp\r\n";
    testing::WriteFileBytes(folder / "materia/DomeinList.dat", edited);
    fs::remove(folder / "materia/SERobotsList.dat");
    // A link, even a dangling one, and a folder in a file's place stay too.
    fs::remove(folder / "materia/FTPSetting.dat");
    fs::create_symlink(home.Path() / "nowhere", folder / "materia/FTPSetting.dat");
    fs::remove(folder / "materia/setup.ini");
    fs::create_directory(folder / "materia/setup.ini");
    ::chmod(folder.c_str(), 0755);

    Fill();
    EXPECT_EQ(ReadFileBytes(folder / "materia/DomeinList.dat"), edited);
    EXPECT_EQ(ReadFileBytes(folder / "materia/SERobotsList.dat"),
              defaults.ReadFile("materia/SERobotsList.dat"));
    EXPECT_TRUE(fs::is_symlink(folder / "materia/FTPSetting.dat"));
    EXPECT_FALSE(fs::exists(home.Path() / "nowhere"));
    EXPECT_TRUE(fs::is_directory(folder / "materia/setup.ini"));
    EXPECT_EQ(ModeOf(folder), 0755u);  // an existing folder keeps its mode
}

TEST_F(FillDataFolderTest, AFailedCopyLeavesNoPartialFileAndTheNextStartCompletesIt) {
    {
        testing::ScopedFileIo io;
        io.Replace(&FileIo::write, [](int, const void*, size_t) -> ssize_t {
            errno = ENOSPC;
            return -1;
        });
        try {
            Fill();
            ADD_FAILURE() << "no error";
        } catch (const FileCreateError& e) {
            EXPECT_NE(e.Message().find(folder.string() + "/materia/"), std::string::npos)
                << e.Message();
            EXPECT_NE(e.Message().find(SystemErrorText(ENOSPC)), std::string::npos);
        }
        EXPECT_TRUE(fs::is_empty(folder / "materia"));
    }
    Fill();
    for (const char* name : kDefaults)
        EXPECT_EQ(ReadFileBytes(folder / name), defaults.ReadFile(name)) << name;
}

// The refusal named is the one the folder's creation met.
TEST_F(FillDataFolderTest, AFolderThatCantBeMadeIsAnErrorNamingItAndWhy) {
    const fs::path share = home.Path() / "share";
    const struct {
        const char* what;
        int refusal;  // given by the seam, or 0 for the file system's own
        int named;
    } cases[] = {
        {"file", 0, ENOTDIR},  // something else is there
        {"dangling link", 0, ENOTDIR},
        {"", EROFS, EROFS},  // nothing is there, and nothing may be made
        {"", EACCES, EACCES},
        {"", ENOSPC, ENOSPC},
    };
    for (const auto& c : cases) {
        fs::remove_all(share);
        if (c.what == std::string("file")) testing::WriteFileBytes(share, "not a folder");
        if (c.what == std::string("dangling link")) fs::create_symlink("nowhere", share);
        static int refusal;
        refusal = c.refusal;
        testing::ScopedFileIo io;
        if (c.refusal != 0)
            io.Replace(&FileIo::mkdir, [](const char*, mode_t) {
                errno = refusal;
                return -1;
            });
        try {
            Fill();
            ADD_FAILURE() << "no error";
        } catch (const FileCreateError& e) {
            EXPECT_EQ(e.Message(), FileCreateErrorText(share.string(), SystemErrorText(c.named)))
                << c.what << c.refusal;
        }
    }
}

TEST_F(FillDataFolderTest, WithoutInstalledDefaultsOnlyTheFoldersAreMade) {
    FillDataFolder(folder.string(), (home.Path() / "absent").string());
    EXPECT_TRUE(fs::is_empty(folder / "materia"));
    EXPECT_TRUE(fs::is_directory(folder / "logs"));
}

// --- The process's data folder ---------------------------------------------

class SetUpDataFolderTest : public ::testing::Test, public testing::InstalledTree {
protected:
    SetUpDataFolderTest() { prefix.WriteFile("share/pomurina/materia/setup.ini", "none\r\n"); }
};

TEST_F(SetUpDataFolderTest, AnInstalledProgramUsesTheHomeFolderFilledFromItsDefaults) {
    const fs::path expected = home.Path() / ".local/share/pomurina";
    const DataFolderChoice choice = SetUpDataFolder(ProgramDirectory());
    EXPECT_EQ(choice.folder, expected.string());
    EXPECT_FALSE(choice.besideProgram);
    EXPECT_EQ(DataFolder(), expected.string());
    EXPECT_EQ(ReadFileBytes(expected / "materia/setup.ini"), "none\r\n");
}

TEST_F(SetUpDataFolderTest, XdgDataHomeIsHonoured) {
    const ScopedEnvironment set{"XDG_DATA_HOME", (home.Path() / "xdg").string()};
    EXPECT_EQ(SetUpDataFolder(ProgramDirectory()).folder, (home.Path() / "xdg/pomurina").string());
    EXPECT_TRUE(fs::exists(home.Path() / "xdg/pomurina/materia/setup.ini"));
    EXPECT_FALSE(fs::exists(home.Path() / ".local"));
}

TEST_F(SetUpDataFolderTest, BesideItsMateriaNothingIsCreatedAnywhere) {
    fs::create_directory(prefix.Path() / "bin/materia");
    const DataFolderChoice choice = SetUpDataFolder(ProgramDirectory());
    EXPECT_TRUE(choice.besideProgram);
    EXPECT_EQ(DataFolder(), (prefix.Path() / "bin").string());
    EXPECT_TRUE(fs::is_empty(home.Path()));
    EXPECT_TRUE(fs::is_empty(prefix.Path() / "bin/materia"));  // filled by nobody but the build
}

}  // namespace
}  // namespace pomurina
