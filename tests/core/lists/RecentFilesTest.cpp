// The recent-files list: paths come back byte for byte, the newest first and
// five at most; a failed write keeps the old file; a file that is there but
// can't be read is never written over.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <filesystem>

#include "TempDir.h"
#include "io/FileIo.h"
#include "lists/RecentFiles.h"

using namespace pomurina;
using pomurina::testing::ReadFileBytes;
using pomurina::testing::TempDir;
using Paths = std::vector<std::string>;

namespace {

class RecentFilesTest : public ::testing::Test {
protected:
    void TearDown() override { CurrentFileIo() = SystemFileIo(); }
    std::string File() const { return (dir.Path() / "RecentFiles.dat").string(); }
    TempDir dir;
};

TEST_F(RecentFilesTest, PathsComeBackByteForByteAfterARestart) {
    const Paths odd = {"/logs/access.log",
                       "/logs/100%25 done/%0A.log",                      // looks like an escape
                       "/logs/two\nlines\r.log",                         // line breaks in a name
                       "/logs/\x82\xa0\x95\x5c.log",                     // Shift-JIS bytes
                       "/logs/\xe3\x83\x9d\xe3\x83\xa0 \xff&name.log"};  // UTF-8, a stray byte, "&"
    {
        RecentFiles files(File());
        EXPECT_TRUE(files.Paths().empty());  // no file yet
        for (auto it = odd.rbegin(); it != odd.rend(); ++it) EXPECT_EQ(files.Remember(*it), 0);
        EXPECT_EQ(files.Paths(), odd);
    }
    EXPECT_EQ(RecentFiles(File()).Paths(), odd);
    // One path a line, CR LF after each, as the other data files.
    const std::string text = ReadFileBytes(File());
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 5);
    EXPECT_NE(text.find("/logs/100%2525 done/%250A.log\r\n"), std::string::npos);
    EXPECT_NE(text.find("/logs/two%0Alines%0D.log\r\n"), std::string::npos);
}

TEST_F(RecentFilesTest, NewestFirstFiveAtMostEachOnce) {
    RecentFiles files(File());
    for (const char* path : {"/a", "/b", "/c", "/d", "/e", "/f"}) files.Remember(path);
    EXPECT_EQ(files.Paths(), (Paths{"/f", "/e", "/d", "/c", "/b"}));
    files.Remember("/c");
    EXPECT_EQ(files.Paths(), (Paths{"/c", "/f", "/e", "/d", "/b"}));
    EXPECT_EQ(files.Forget("/e"), 0);
    EXPECT_EQ(RecentFiles(File()).Paths(), (Paths{"/c", "/f", "/d", "/b"}));
}

TEST_F(RecentFilesTest, AHandEditedFileKeepsOnlyAbsolutePathsOnce) {
    dir.WriteFile("RecentFiles.dat", "relative.log\r\n\r\n/x\n/x\r\n/y\r/z%0a\n/1\n/2\n/3\n/4");
    EXPECT_EQ(RecentFiles(File()).Paths(), (Paths{"/x", "/y", "/z\n", "/1", "/2"}));
    // As in every list file, a zero byte ends the text.
    dir.WriteFile("RecentFiles.dat", std::string("/a\r\n/b\0c\r\n/d\r\n", 12));
    EXPECT_EQ(RecentFiles(File()).Paths(), (Paths{"/a", "/b"}));
}

TEST_F(RecentFilesTest, AFailedWriteKeepsTheOldFileWhole) {
    RecentFiles files(File());
    files.Remember("/old.log");
    const std::string before = ReadFileBytes(File());
    CurrentFileIo().rename = [](const char*, const char*) {
        errno = EACCES;
        return -1;
    };
    EXPECT_EQ(files.Remember("/new.log"), EACCES);
    EXPECT_EQ(files.Paths(), (Paths{"/new.log", "/old.log"}));  // for this session
    CurrentFileIo() = SystemFileIo();
    EXPECT_EQ(ReadFileBytes(File()), before);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
}

TEST_F(RecentFilesTest, WhatCantBeReadIsNeverWrittenOver) {
    // A directory, and a FIFO that would block a reader.
    std::filesystem::create_directory(File());
    RecentFiles directory(File());
    EXPECT_TRUE(directory.Paths().empty());
    EXPECT_EQ(directory.Remember("/a.log"), EISDIR);
    EXPECT_TRUE(std::filesystem::is_directory(File()));
    std::filesystem::remove(File());

    ASSERT_EQ(::mkfifo(File().c_str(), 0600), 0);
    RecentFiles fifo(File());
    EXPECT_TRUE(fifo.Paths().empty());
    EXPECT_NE(fifo.Remember("/a.log"), 0);
    EXPECT_TRUE(std::filesystem::is_fifo(File()));
    std::filesystem::remove(File());

    // A folder that isn't there: an empty list whose writes fail.
    RecentFiles nowhere((dir.Path() / "missing" / "RecentFiles.dat").string());
    EXPECT_TRUE(nowhere.Paths().empty());
    EXPECT_EQ(nowhere.Remember("/a.log"), ENOENT);
}

}  // namespace
