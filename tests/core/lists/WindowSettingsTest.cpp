// The window's settings file: a folder's bytes come back exactly after a
// restart, lines it doesn't know stay, an unchanged value isn't written, and
// a file it can't read is never written over.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

#include "TempDir.h"
#include "lists/WindowSettings.h"

using namespace pomurina;
using pomurina::testing::ReadFileBytes;
using pomurina::testing::TempDir;
using pomurina::testing::WriteFileBytes;

namespace {

constexpr std::string_view kFolder = WindowSettings::kOpenFolder;

class WindowSettingsTest : public ::testing::Test {
protected:
    std::string File() const { return (dir.Path() / "window.ini").string(); }
    TempDir dir;
};

TEST_F(WindowSettingsTest, AFolderComesBackByteForByteAfterARestart) {
    for (const std::string folder : {"/var/log", "/logs/100%25 done", "/logs/two\nlines\r",
                                     "/logs/\x82\xa0\x95\x5c", "/logs/a=b\tc \xff", ""}) {
        SCOPED_TRACE(folder);
        EXPECT_EQ(WindowSettings(File()).Set(kFolder, folder), 0);
        EXPECT_EQ(WindowSettings(File()).Get(kFolder), folder);
    }
    EXPECT_EQ(WindowSettings(File()).Get("Other"), std::nullopt);
}

TEST_F(WindowSettingsTest, LinesItDoesNotKnowStay) {
    WriteFileBytes(File(), "; kept\r\n[Window]\nOpenFolderX=1\nOpenFolder=/a\nOpenFolder=/b\n");
    WindowSettings settings(File());
    EXPECT_EQ(settings.Get(kFolder), "/a");
    // A value the file holds already is not written again (its LFs stay).
    EXPECT_EQ(settings.Set(kFolder, "/a"), 0);
    EXPECT_EQ(ReadFileBytes(File()),
              "; kept\r\n[Window]\nOpenFolderX=1\nOpenFolder=/a\nOpenFolder=/b\n");
    EXPECT_EQ(settings.Set(kFolder, "/c"), 0);
    EXPECT_EQ(ReadFileBytes(File()),
              "; kept\r\n[Window]\r\nOpenFolderX=1\r\nOpenFolder=/c\r\nOpenFolder=/b\r\n");
}

TEST_F(WindowSettingsTest, WhatCantBeReadIsNeverWrittenOver) {
    const std::string huge(std::size_t{1} << 21, 'x');
    WriteFileBytes(File(), huge);
    EXPECT_EQ(WindowSettings(File()).Set(kFolder, "/a"), EFBIG);
    EXPECT_EQ(ReadFileBytes(File()), huge);
    std::filesystem::remove(File());
    std::filesystem::create_directory(File());
    EXPECT_EQ(WindowSettings(File()).Set(kFolder, "/a"), EISDIR);
    EXPECT_TRUE(std::filesystem::is_directory(File()));
}

}  // namespace
