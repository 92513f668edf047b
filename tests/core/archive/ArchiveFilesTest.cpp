// The archive on disk: site names, the day files' places and bytes, failures
// that leave a day as it was, and what an import says it did.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

#include "CompressTool.h"
#include "ScopedSeams.h"
#include "TempDir.h"
#include "archive/ArchiveError.h"
#include "archive/ArchiveImport.h"
#include "archive/ArchiveLayout.h"
#include "archive/DayFile.h"
#include "archive/SiteName.h"
#include "insight/CalendarDay.h"
#include "text/Cp932.h"

using namespace pomurina;
using pomurina::testing::TempDir;
namespace fs = std::filesystem;

namespace {

std::string Line(const std::string& date, const std::string& host) {
    return host + " - - [" + date + ":10:00:00 +0900] \"GET / HTTP/1.1\" 200 1\n";
}

std::int32_t Day(int year, int month, int day) {
    return *DayNumber(CivilDate{year, month, day});
}

// Compressed by zstd's own tool.
std::string Compressed(const std::string& bytes) {
    return pomurina::testing::RunFilter("zstd -q", bytes);
}

}  // namespace

TEST(SiteName, RefusesNamesThatAreNoPlainFolder) {
    const struct {
        std::string name;
        const char* message;  // UTF-8; empty when the name is a site's
    } cases[] = {
        {"example.jp", ""},
        {"ftp.example.jp:2121", ""},
        {"日本語サイト", ""},
        {std::string(kLongestSiteName, 'a'), ""},
        {"", "サイト名が空です。サイトの名前を指定してください"},
        {std::string(kLongestSiteName + 1, 'a'),
         "サイト名が長すぎます (128 バイトまで)。短い名前を指定してください"},
        {"a/b", "サイト名 \"a/b\" は使えません (\"/\"、\"\\\" と制御文字は使えません)"},
        {"a\\b", "サイト名 \"a\\b\" は使えません (\"/\"、\"\\\" と制御文字は使えません)"},
        {"a\nb", "サイト名 \"a\nb\" は使えません (\"/\"、\"\\\" と制御文字は使えません)"},
        {"..", "サイト名 \"..\" は使えません (\".\" で始まる名前と \"..\" を含む名前は使えません)"},
        {"a..b",
         "サイト名 \"a..b\" は使えません (\".\" で始まる名前と \"..\" を含む名前は使えません)"},
        {".hidden",
         "サイト名 \".hidden\" は使えません (\".\" で始まる名前と \"..\" を含む名前は使えません)"},
    };
    for (const auto& c : cases) {
        const auto problem = SiteNameProblem(c.name);
        EXPECT_EQ(problem ? Cp932ToUtf8(*problem) : "", c.message) << c.name;
    }
    EXPECT_THROW(SiteFolder("/data", "../x"), ArchiveError);
}

TEST(ArchiveLayout, ListsOnlyTheDayFilesOfItsOwnForm) {
    const TempDir dir;
    const std::string data = dir.Path().string();
    EXPECT_EQ(DayFilePath(data, "s", Day(2024, 2, 29)),
              data + "/archive/s/2024/02/2024-02-29.log.zst");
    EXPECT_TRUE(ArchiveDays(data, "s").empty());
    for (const char* name :
         {"archive/s/2024/02/2024-02-29.log.zst", "archive/s/2024/03/2024-03-01.log.zst",
          "archive/s/2024/03/2024-03-31.log.zst", "archive/s/2024/03/2024-04-01.log.zst",
          "archive/s/2024/03/2024-03-32.log.zst", "archive/s/2024/03/.pomurina-abcdefgh.tmp",
          "archive/s/2024/03/notes.txt", "archive/s/misc/2024-03-02.log.zst",
          "archive/t/2025/01/2025-01-01.log.zst", "archive/.x/2025/01/2025-01-01.log.zst"})
        dir.WriteFile(name, "12345");
    fs::create_directories(dir.Path() / "archive/s/2024/03/2024-03-05.log.zst");
    std::vector<std::string> days;
    for (const ArchiveDay& day : ArchiveDays(data, "s")) {
        days.push_back(DayText(day.day));
        EXPECT_EQ(day.bytes, 5u);
    }
    EXPECT_EQ(days, (std::vector<std::string>{"2024-02-29", "2024-03-01", "2024-03-31"}));
    EXPECT_EQ(ArchiveDays(data, "s", Day(2024, 3, 1), Day(2024, 3, 30)).size(), 1u);
    EXPECT_EQ(ArchiveSites(data), (std::vector<std::string>{"s", "t"}));
}

TEST(DayFile, WritesWholeOrLeavesTheDayAsItWas) {
    const TempDir dir;
    const std::string path = (dir.Path() / "archive/s/2024/03/2024-03-01.log.zst").string();
    EXPECT_EQ(ReadDayFile(path), std::nullopt);
    WriteDayFile(path, "old\n");
    EXPECT_EQ(ReadDayFile(path), "old\n");
    EXPECT_EQ(fs::status(dir.Path() / "archive").permissions() & fs::perms::all,
              fs::perms::owner_all);
    {
        pomurina::testing::ScopedFileIo io;
        io.Replace(&FileIo::write, [](int, const void*, size_t) -> ssize_t {
            errno = ENOSPC;
            return -1;
        });
        EXPECT_THROW(WriteDayFile(path, "new\n"), FileCreateError);
    }
    EXPECT_EQ(ReadDayFile(path), "old\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(fs::path(path).parent_path()),
                            fs::directory_iterator()),
              1);
    // A file where a folder should be.
    dir.WriteFile("blocked/archive", "");
    EXPECT_THROW(WriteDayFile((dir.Path() / "blocked/archive/s/2024/03/x.log.zst").string(), ""),
                 FileCreateError);
}

TEST(DayFile, ADamagedDayIsAnErrorNamingTheFile) {
    const TempDir dir;
    const std::string whole = Compressed("line\n");
    for (const std::string& bytes :
         {std::string(), std::string("plain text\n"), whole.substr(0, whole.size() - 3)}) {
        const std::string path = dir.WriteFile("d.log.zst", bytes);
        try {
            ReadDayFile(path);
            ADD_FAILURE() << bytes.size();
        } catch (const CompressedFileError& e) {
            EXPECT_NE(e.Message().find(path), std::string::npos);
        }
    }
    EXPECT_EQ(ReadDayFile(dir.WriteFile("d.log.zst", Compressed("a\n") + Compressed("b\n"))),
              "a\nb\n");
}

TEST(ArchiveImport, SaysWhatItAddedAndRefusesLogsWithNoTime) {
    const TempDir dir;
    const std::string data = dir.Path().string();
    const std::string first =
        dir.WriteFile("first.log", Line("01/Mar/2024", "a") + Line("02/Mar/2024", "a") + "junk\n");
    const std::string second =
        dir.WriteFile("second.log", Line("02/Mar/2024", "a") + Line("02/Mar/2024", "b") +
                                        Line("03/Mar/2024", "c"));
    const std::string none = dir.WriteFile("none.log", "no time here\n");

    ImportResult r = ImportLogs(data, "s", {first, none, second, dir.Path() / "missing.log"});
    EXPECT_EQ(r.logs, 2u);
    EXPECT_EQ(ImportResultText(r),
              "取り込んだログ 2、新しい日 3、行を加えた日 1、変わらなかった日 0、"
              "加えた行 5、既にあった行 1");
    EXPECT_EQ(r.newDays, 3u);
    EXPECT_EQ(r.changedDays, 1u);
    EXPECT_EQ(r.unchangedDays, 0u);
    EXPECT_EQ(r.addedLines, 5u);
    EXPECT_EQ(r.alreadyHadLines, 1u);
    ASSERT_EQ(r.refused.size(), 2u);
    EXPECT_EQ(Cp932ToUtf8(r.refused[0]),
              "ログ \"" + none +
                  "\" には日時を読める行がないため、アーカイブに取り込みませんでした。"
                  "アクセスログのファイルかどうか確かめてください");
    EXPECT_NE(r.refused[1].find("missing.log"), std::string::npos);
    EXPECT_EQ(ReadDayFile(DayFilePath(data, "s", Day(2024, 3, 2))),
              Line("02/Mar/2024", "a") + "junk\n" + Line("02/Mar/2024", "b"));

    const auto before = fs::last_write_time(DayFilePath(data, "s", Day(2024, 3, 2)));
    r = ImportLogs(data, "s", {second, first});
    EXPECT_EQ(r.logs, 2u);
    EXPECT_EQ(r.unchangedDays, 4u);
    EXPECT_EQ(r.addedLines, 0u);
    EXPECT_EQ(r.alreadyHadLines, 6u);
    EXPECT_EQ(fs::last_write_time(DayFilePath(data, "s", Day(2024, 3, 2))), before);
    EXPECT_THROW(ImportLogs(data, "a/b", {first}), ArchiveError);
}
