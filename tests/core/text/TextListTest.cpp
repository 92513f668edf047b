// The text list: line rules, file bytes, and what failed loads and saves leave behind.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "ScopedSeams.h"
#include "TempDir.h"
#include "io/FileIo.h"
#include "text/Cp932.h"
#include "Errors.h"
#include "text/TextLines.h"
#include "text/TextList.h"

using namespace pomurina;
namespace fs = std::filesystem;

namespace {

using pomurina::testing::ReadFileBytes;
using pomurina::testing::ScopedFileIo;
using pomurina::testing::WriteFileBytes;

class TextListFile : public ::testing::Test {
protected:
    pomurina::testing::TempDir m_temp;
    const fs::path& m_dir = m_temp.Path();
};

std::vector<std::string> Split(const std::string& text) {
    TextList list;
    list.SetText(text);
    return list.Lines();
}

}  // namespace

TEST(TextListLines, SplitAtEveryKindOfLineEnd) {
    using V = std::vector<std::string>;
    EXPECT_EQ(Split(""), V{});
    EXPECT_EQ(Split("a"), V{"a"});
    EXPECT_EQ(Split("a\n"), V{"a"});  // a line end at the very end adds nothing
    EXPECT_EQ(Split("a\r\nb\r\n"), (V{"a", "b"}));
    EXPECT_EQ(Split("a\nb"), (V{"a", "b"}));  // a final line without a line end counts
    EXPECT_EQ(Split("a\rb"), (V{"a", "b"}));
    EXPECT_EQ(Split("a\n\rb"), (V{"a", "", "b"}));  // LF CR is two line ends
    EXPECT_EQ(Split("a\r\n\r\n"), (V{"a", ""}));
    EXPECT_EQ(Split("\n\n"), (V{"", ""}));
    EXPECT_EQ(Split("\r\r\n"), (V{"", ""}));
    EXPECT_EQ(Split(std::string("a\nb\0c\nd", 7)),
              (V{"a", "b"}));  // the first zero byte ends the text
    EXPECT_EQ(Split(std::string("\0a", 2)), V{});
}

TEST(TextListLines, AZeroByteEndsTheTextAndSaysSo) {
    TextList list;
    EXPECT_TRUE(list.SetText("a\r\nb\r\n"));
    EXPECT_FALSE(list.SetText(std::string("a\r\nb\0c\r\n", 8)));
    EXPECT_EQ(list.Lines(), (std::vector<std::string>{"a", "b"}));
}

// A log is read to its end: its zero bytes carry no text and are left out.
TEST(LogLines, ZeroBytesAreLeftOutBeforeTheSplit) {
    using V = std::vector<std::string>;
    const auto split = [](const std::string& text) {
        const TextLines lines(text);
        V out;
        for (std::size_t i = 0; i < lines.Count(); ++i) out.emplace_back(lines.At(i));
        return out;
    };
    const std::string block(4096, '\0');
    EXPECT_EQ(split("a\n" + block + "b\n" + block), (V{"a", "b"}));
    EXPECT_EQ(split(std::string("a\0b\r\0\nc", 8)), (V{"ab", "c"}));  // CR, zero, LF: one end
    EXPECT_EQ(split(block), V{});
    EXPECT_EQ(split(std::string("\0\n\0", 3)), V{""});
    EXPECT_EQ(split("a\r\nb"), (V{"a", "b"}));
}

TEST(TextListLines, IndexOfIgnoresCaseAndInsertAtTheEndAppends) {
    TextList list;
    list.Add("Alpha");
    list.Add("beta");
    EXPECT_EQ(list.IndexOf("BETA"), 1);
    EXPECT_EQ(list.IndexOf("gamma"), -1);
    list.Insert(2, "gamma");
    EXPECT_EQ(list.Get(2), "gamma");
    EXPECT_THROW(list.Insert(4, "x"), ListIndexError);
    try {
        list.Get(3);
        ADD_FAILURE();
    } catch (const ListIndexError& e) {
        EXPECT_EQ(e.Message(), Utf8ToCp932("リストのインデックスが範囲を超えています (3)"));
    }
}

TEST_F(TextListFile, SaveWritesEveryLineWithCrLfAndAnEmptyListAsNoBytes) {
    const fs::path file = m_dir / "list.dat";
    TextList list;
    list.Add("a");
    list.Add("b");
    list.SaveToFile(file.string());
    EXPECT_EQ(ReadFileBytes(file), "a\r\nb\r\n");
    list.Delete(1);
    list.Delete(0);
    list.SaveToFile(file.string());
    EXPECT_EQ(ReadFileBytes(file), "");
    EXPECT_TRUE(fs::exists(file));
    // Only the file itself is left: no temporary files beside it.
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir), fs::directory_iterator()), 1);
}

TEST_F(TextListFile, LoadReplacesTheContentAndReadsBytesAsTheyAre) {
    const fs::path file = m_dir / "list.dat";
    WriteFileBytes(file, "\x82\xA0 x \r\n\r\n\xFF");
    TextList list;
    list.Add("old");
    list.LoadFromFile(file.string());
    EXPECT_EQ(list.Lines(), (std::vector<std::string>{"\x82\xA0 x ", "", "\xFF"}));
}

TEST_F(TextListFile, LoadFailuresNameTheFullPath) {
    TextList list;
    const fs::path missing = m_dir / "missing.dat";
    try {
        list.LoadFromFile(missing.string());
        ADD_FAILURE();
    } catch (const FileOpenError& e) {
        EXPECT_EQ(e.Message(), Utf8ToCp932("ファイル \"" + missing.string() +
                                           "\". 指定されたファイルが見つかりません は開けません"));
    }
    // A directory can't be read as a list, not even by root.
    try {
        list.LoadFromFile(m_dir.string());
        ADD_FAILURE();
    } catch (const FileOpenError& e) {
        EXPECT_NE(e.Message().find(Utf8ToCp932("アクセスが拒否されました")), std::string::npos);
    }
    // A relative path is shown made absolute.
    const fs::path cwd = fs::current_path();
    fs::current_path(m_dir);
    try {
        list.LoadFromFile("materia/../x.dat");
        ADD_FAILURE();
    } catch (const FileOpenError& e) {
        EXPECT_NE(e.Message().find((m_dir / "x.dat").string()), std::string::npos);
    }
    fs::current_path(cwd);
}

TEST_F(TextListFile, AFailedSaveLeavesTheOldFileWhole) {
    const fs::path file = m_dir / "list.dat";
    WriteFileBytes(file, "keep\r\n");
    TextList list;
    list.Add("new");

    // A write that fails half way (the disk is full).
    {
        ScopedFileIo io;
        io.Replace(&FileIo::write, [](int, const void*, size_t) -> ssize_t {
            errno = ENOSPC;
            return -1;
        });
        try {
            list.SaveToFile(file.string());
            ADD_FAILURE();
        } catch (const FileCreateError& e) {
            EXPECT_EQ(e.Message(),
                      Utf8ToCp932("ファイル \"" + file.string() +
                                  "\". ディスクに十分な空き領域がありません を作成できません"));
        }
    }
    EXPECT_EQ(ReadFileBytes(file), "keep\r\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir), fs::directory_iterator()), 1);

    // A folder that doesn't exist, and a path under a regular file.
    EXPECT_THROW(list.SaveToFile((m_dir / "none" / "list.dat").string()), FileCreateError);
    EXPECT_THROW(list.SaveToFile((file / "x").string()), FileCreateError);
    EXPECT_EQ(ReadFileBytes(file), "keep\r\n");
}

TEST_F(TextListFile, SaveKeepsAFilesModeOrForcesTheOneAskedFor) {
    const fs::path file = m_dir / "settings.dat";
    TextList list;
    list.Add("secret");
    list.SaveToFile(file.string(), 0600);
    EXPECT_EQ(fs::status(file).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
    fs::permissions(file, fs::perms::owner_all | fs::perms::group_read);
    list.SaveToFile(file.string());
    EXPECT_EQ(fs::status(file).permissions() & fs::perms::all,
              fs::perms::owner_all | fs::perms::group_read);
}
