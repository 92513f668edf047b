// The recent-files list: paths come back byte for byte, the newest first and
// five at most, several logs of one analysis as one entry; a failed write
// keeps the old file; a file that is there but can't be read is never
// written over.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <filesystem>

#include "ScopedSeams.h"
#include "TempDir.h"
#include "io/FileIo.h"
#include "lists/RecentFiles.h"

using namespace pomurina;
using pomurina::testing::ReadFileBytes;
using pomurina::testing::ScopedFileIo;
using pomurina::testing::TempDir;
using Entry = RecentFiles::Entry;
using Entries = std::vector<Entry>;

namespace {

// Each path an entry of its own.
Entries Singles(std::initializer_list<std::string> paths) {
    Entries entries;
    for (const std::string& path : paths) entries.push_back({path});
    return entries;
}

class RecentFilesTest : public ::testing::Test {
protected:
    std::string File() const { return (dir.Path() / "RecentFiles.dat").string(); }
    TempDir dir;
};

TEST_F(RecentFilesTest, PathsComeBackByteForByteAfterARestart) {
    const Entries odd =
        Singles({"/logs/access.log",
                 "/logs/100%25 done/%0A.log",                       // looks like an escape
                 "/logs/two\nlines\r.log",                          // line breaks in a name
                 "/logs/\x82\xa0\x95\x5c.log",                      // Shift-JIS bytes
                 "/logs/\xe3\x83\x9d\xe3\x83\xa0 \xff&name.log"});  // UTF-8, a stray byte, "&"
    {
        RecentFiles files(File());
        EXPECT_TRUE(files.Entries().empty());  // no file yet
        for (auto it = odd.rbegin(); it != odd.rend(); ++it) EXPECT_EQ(files.Remember(*it), 0);
        EXPECT_EQ(files.Entries(), odd);
    }
    EXPECT_EQ(RecentFiles(File()).Entries(), odd);
    // One path a line, CR LF after each, as the other data files.
    const std::string text = ReadFileBytes(File());
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 5);
    EXPECT_NE(text.find("/logs/100%2525 done/%250A.log\r\n"), std::string::npos);
    EXPECT_NE(text.find("/logs/two%0Alines%0D.log\r\n"), std::string::npos);
}

TEST_F(RecentFilesTest, NewestFirstFiveAtMostEachOnce) {
    RecentFiles files(File());
    for (const char* path : {"/a", "/b", "/c", "/d", "/e", "/f"}) files.Remember({path});
    EXPECT_EQ(files.Entries(), Singles({"/f", "/e", "/d", "/c", "/b"}));
    files.Remember({"/c"});
    EXPECT_EQ(files.Entries(), Singles({"/c", "/f", "/e", "/d", "/b"}));
    EXPECT_EQ(files.Forget({"/e"}), 0);
    EXPECT_EQ(RecentFiles(File()).Entries(), Singles({"/c", "/f", "/d", "/b"}));
}

TEST_F(RecentFilesTest, SeveralLogsOfOneAnalysisAreOneEntryInTheirOrder) {
    const Entry month = {"/logs/access_log.2.gz", "/logs/tab\there.1", "/logs/access_log"};
    RecentFiles files(File());
    files.Remember({"/logs/access_log"});
    files.Remember(month);
    files.Remember({"/logs/access_log.2.gz", "/logs/access_log"});  // another set
    files.Remember(month);
    const Entries expected = {
        month, {"/logs/access_log.2.gz", "/logs/access_log"}, {"/logs/access_log"}};
    EXPECT_EQ(RecentFiles(File()).Entries(), expected);
    // A TAB between paths, %09 for one inside a name; lines as before.
    EXPECT_NE(ReadFileBytes(File()).find(
                  "/logs/access_log.2.gz\t/logs/tab%09here.1\t/logs/access_log\r\n"),
              std::string::npos);
    // A set with a relative path is not one of ours.
    dir.WriteFile("RecentFiles.dat",
                  "/a\trelative\r\n/b\t/c\r\n/d\t\r\n");
    EXPECT_EQ(RecentFiles(File()).Entries(), (Entries{{"/b", "/c"}}));
}

TEST_F(RecentFilesTest, AHandEditedFileKeepsOnlyAbsolutePathsOnce) {
    dir.WriteFile("RecentFiles.dat", "relative.log\r\n\r\n/x\n/x\r\n/y\r/z%0a\n/1\n/2\n/3\n/4");
    EXPECT_EQ(RecentFiles(File()).Entries(), Singles({"/x", "/y", "/z\n", "/1", "/2"}));
    // As in every list file, a zero byte ends the text.
    dir.WriteFile("RecentFiles.dat", std::string("/a\r\n/b\0c\r\n/d\r\n", 12));
    EXPECT_EQ(RecentFiles(File()).Entries(), Singles({"/a", "/b"}));
}

TEST_F(RecentFilesTest, AFailedWriteKeepsTheOldFileWhole) {
    RecentFiles files(File());
    files.Remember({"/old.log"});
    const std::string before = ReadFileBytes(File());
    {
        ScopedFileIo io;
        io.Replace(&FileIo::rename, [](const char*, const char*) {
            errno = EACCES;
            return -1;
        });
        EXPECT_EQ(files.Remember({"/new.log"}), EACCES);
        EXPECT_EQ(files.Entries(), Singles({"/new.log", "/old.log"}));  // for this session
    }
    EXPECT_EQ(ReadFileBytes(File()), before);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
}

TEST_F(RecentFilesTest, WhatCantBeReadIsNeverWrittenOver) {
    // A directory, and a FIFO that would block a reader.
    std::filesystem::create_directory(File());
    RecentFiles directory(File());
    EXPECT_TRUE(directory.Entries().empty());
    EXPECT_EQ(directory.Remember({"/a.log"}), EISDIR);
    EXPECT_TRUE(std::filesystem::is_directory(File()));
    std::filesystem::remove(File());

    ASSERT_EQ(::mkfifo(File().c_str(), 0600), 0);
    RecentFiles fifo(File());
    EXPECT_TRUE(fifo.Entries().empty());
    EXPECT_NE(fifo.Remember({"/a.log"}), 0);
    EXPECT_TRUE(std::filesystem::is_fifo(File()));
    std::filesystem::remove(File());

    // A folder that isn't there: an empty list whose writes fail.
    RecentFiles nowhere((dir.Path() / "missing" / "RecentFiles.dat").string());
    EXPECT_TRUE(nowhere.Entries().empty());
    EXPECT_EQ(nowhere.Remember({"/a.log"}), ENOENT);
}

}  // namespace
