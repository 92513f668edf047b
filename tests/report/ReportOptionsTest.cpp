// The report tool's command line read without running anything: what each
// accepted list asks for, and the exact problem each refused one names.
#include <gtest/gtest.h>

#include <string>
#include <variant>
#include <vector>

#include "ReportOptions.h"

using namespace pomurina;

namespace {

using Arguments = std::vector<std::string>;

std::string Joined(const Arguments& arguments) {
    std::string text;
    for (const std::string& argument : arguments) text += "[" + argument + "]";
    return text;
}

TEST(ParseReportArguments, AcceptedListsGiveTheirValuesAsWritten) {
    const struct {
        Arguments arguments;
        ReportOptions expected;
    } cases[] = {
        {{"a.log"}, {.logFiles = {"a.log"}}},
        {{"--materia", "m", "--unit", "-1", "--dump", "a.log", "-"},
         {.materia = "m", .unit = -1, .dump = true, .logFiles = {"a.log", "-"}}},
        {{"--unit", "3", "--unit", "+2", "x"}, {.unit = 2, .logFiles = {"x"}}},
        // The report's name is kept as given: the run resolves it.
        {{"--json", "--with-log", "--html", "r.html", "x"},
         {.json = true, .withLog = true, .htmlFile = "r.html", .logFiles = {"x"}}},
        {{"--html", "-", "--materia", "--dump", "x"},
         {.materia = "--dump", .htmlFile = "-", .logFiles = {"x"}}},
        {{"--csv", "tables", "--json", "--csv", "-", "x"},
         {.json = true, .csvDir = "-", .logFiles = {"x"}}},
        {{"--fetch"}, {.fetch = true}},
        {{"--trust", "SHA256:ab", "--fetch", "access_log"},
         {.fetch = true, .trust = "SHA256:ab", .logFiles = {"access_log"}}},
        {{"--decode"}, {.decode = true}},
        {{"--utf8", "--unit", "0", "--decode"}, {.decode = true, .utf8 = true}},
        // --help ends the reading, whatever follows or went before.
        {{"--help", "--bogus"}, {.help = true}},
        {{"--dump", "--json", "-h", "--unit"}, {.help = true, .dump = true, .json = true}},
        {{"--from", "2024-02-29", "--to", "2024-03-01", "--humans", "--exclude-own", "--path",
          "/blog/", "--status", "2XX,5xx", "--exclude-hosts", "mine.dat", "--vhost", "a.jp", "a"},
         {.filter = {.firstDay = 19782, .lastDay = 19783, .excludeHostsFile = "mine.dat",
                     .excludeOwn = true, .humans = true, .pathPrefix = "/blog/",
                     .statusClasses = (1u << 2) | (1u << 5), .vhost = "a.jp"},
          .logFiles = {"a"}}},
        // The archive's commands; with --archive the dates pick days, not lines.
        {{"--import", "example.jp", "a.log", "b.gz"},
         {.importSite = "example.jp", .logFiles = {"a.log", "b.gz"}}},
        {{"--materia", "m", "--import", "s", "-"},
         {.materia = "m", .importSite = "s", .logFiles = {"-"}}},
        {{"--archive-list"}, {.archiveList = true}},
        {{"--json", "--archive", "s", "--from", "2024-02-29", "--humans"},
         {.json = true, .filter = {.humans = true}, .archiveSite = "s", .archiveFirstDay = 19782}},
        {{"--to", "2024-03-01", "--archive", "s"}, {.archiveSite = "s", .archiveLastDay = 19783}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Joined(c.arguments));
        const auto parsed = ParseReportArguments(c.arguments);
        ASSERT_TRUE(std::holds_alternative<ReportOptions>(parsed))
            << std::get<UsageError>(parsed).problem;
        EXPECT_TRUE(std::get<ReportOptions>(parsed) == c.expected);
    }
}

TEST(ParseReportArguments, RefusedListsNameTheirProblem) {
    const struct {
        Arguments arguments;
        const char* problem;
    } cases[] = {
        {{}, "no LOGFILE"},
        {{"--dump"}, "no LOGFILE"},
        {{"a.log", "--unit"}, "missing value"},
        {{"--trust"}, "missing value"},
        {{"--unit", "9", "--help"}, "--unit takes -1 to 3"},
        {{"--unit", "-2", "a"}, "--unit takes -1 to 3"},
        {{"--unit", "1x", "a"}, "--unit takes -1 to 3"},
        {{"--unit", "", "a"}, "--unit takes -1 to 3"},
        {{"--html", "", "a"}, "--html takes a file name"},
        {{"--csv", "", "a"}, "--csv takes a folder name"},
        {{"a", "--csv"}, "missing value"},
        {{"--decode", "--csv", "d"}, "--decode takes only --utf8"},
        {{"--bogus", "--help"}, "unknown option --bogus"},
        {{"a", "-x"}, "unknown option -x"},
        {{"--decode", "--json"}, "--decode takes only --utf8"},
        {{"--decode", "--unit", "1"}, "--decode takes only --utf8"},
        {{"x", "--decode"}, "--decode takes only --utf8"},
        {{"--fetch", "--decode"}, "--decode takes only --utf8"},
        {{"--utf8", "a"}, "--utf8 goes with --decode"},
        {{"--trust", "X", "a"}, "--trust goes with --fetch"},
        {{"--fetch", "a", "b"}, "--fetch takes one NAME"},
        {{"-", "a", "-"}, "standard input (-) can be read only once"},
        {{"--dump", "--json", "a"}, "--dump and --json both write to standard output"},
        {{"--with-log", "a"}, "--with-log goes with --json"},
        {{"--from", "2023-02-29", "a"},
         "--from の値 \"2023-02-29\" は YYYY-MM-DD の形の実在する日ではありません"},
        {{"a", "--to"}, "--to の値がありません"},
        {{"--status", "2xx,404", "a"},
         "--status の値 \"2xx,404\" は 2xx,3xx,4xx,5xx をコンマで区切って並べたものではありません"},
        {{"--path", "", "a"}, "--path の値が空です"},
        {{"--vhost", "", "a"}, "--vhost の値が空です"},
        {{"--vhost", "a.jp:80", "a"},
         "--vhost の値 \"a.jp:80\" はバーチャルホストの名前ではありません（英数字と . - _ "
         "で書かれたホスト名を、ポート番号なしで指定してください）"},
        {{"--from", "2024-05-02", "--to", "2024-05-01", "a"}, "--from の日が --to の日より後です"},
        {{"--decode", "--humans"}, "--decode takes only --utf8"},
        {{"--decode", "--archive-list"}, "--decode takes only --utf8"},
        {{"--import"}, "--import の値 (SITE) がありません"},
        {{"--archive", "a/b"},
         "--archive: サイト名 \"a/b\" は使えません (\"/\"、\"\\\" と制御文字は使えません)"},
        {{"--import", ""}, "--import: サイト名が空です。サイトの名前を指定してください"},
        {{"--import", "s"}, "--import に取り込む LOGFILE がありません"},
        {{"--import", "s", "--json", "a"}, "--import は SITE と LOGFILE だけを取ります"},
        {{"--import", "s", "--from", "2024-01-01", "a"},
         "--import は SITE と LOGFILE だけを取ります"},
        {{"--import", "s", "--archive", "s"},
         "--import、--archive、--archive-list は一度に一つだけ指定できます"},
        {{"--archive-list", "a"}, "--archive-list はほかの指定を取りません"},
        {{"--archive-list", "--dump"}, "--archive-list はほかの指定を取りません"},
        {{"--archive", "s", "a.log"},
         "--archive ではログはアーカイブから読みます (LOGFILE は指定できません)"},
        {{"--archive", "s", "--fetch"}, "--archive と --fetch は一緒に指定できません"},
        {{"--archive", "s", "--dump", "--json"}, "--dump and --json both write to standard output"},
        {{"--archive", "s", "--from", "2024-05-02", "--to", "2024-05-01"},
         "--from の日が --to の日より後です"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Joined(c.arguments));
        const auto parsed = ParseReportArguments(c.arguments);
        ASSERT_TRUE(std::holds_alternative<UsageError>(parsed));
        EXPECT_EQ(std::get<UsageError>(parsed).problem, c.problem);
    }
}

TEST(UsageErrorText, IsTheProblemThenTheUsage) {
    const std::string text = UsageErrorText({"no LOGFILE"});
    EXPECT_TRUE(text.starts_with(
        "pomurina-report: no LOGFILE\n"
        "usage: pomurina-report [--materia DIR] [--unit N] [--dump | --json [--with-log]]\n"))
        << text;
    EXPECT_TRUE(
        text.ends_with("pomurina-report --decode [--utf8]   (URL-decodes standard input)\n"))
        << text;
}

}  // namespace
