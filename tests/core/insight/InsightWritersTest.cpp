// The writers of the insight, byte for byte on a small run: JSON, the HTML
// section, the readable summary and the CSV files (and saving them).
#include <gtest/gtest.h>

#include <filesystem>

#include "Errors.h"
#include "InsightDriver.h"
#include "TempDir.h"
#include "report/InsightCsv.h"
#include "report/InsightHtml.h"
#include "report/InsightSummary.h"
#include "text/Cp932.h"

using namespace pomurina;
using namespace pomurina::testing;

namespace {

// Two visitors on two days: a search from Google, a path with a byte that
// isn't Shift-JIS, a formula-like phrase, a robot and a line that isn't one.
const Insight& Small() {
    static const Insight insight = [] {
        const InsightRules rules =
            RulesOf("browser\tFox\tFirefox\ndevice\tPC\tWindows\nai\tGPT\tGPTBot\n",
                    "Google\tgoogle.com\tq\n", {"own.example"});
        const std::string log =
            "192.0.2.1 - - [07/Dec/2026:10:00:00 +0900] \"GET /a,\\\"b HTTP/1.1\" 200 100 "
            "\"https://www.google.com/search?q=%3D1%2B2\" \"Firefox (Windows)\"\n"
            "192.0.2.1 - - [07/Dec/2026:10:05:00 +0900] \"GET /x\x80.html HTTP/1.1\" 404 5 "
            "\"http://own.example/\" \"Firefox (Windows)\"\n"
            "h<2> - - [08/Dec/2026:23:59:60 +0900] \"GET /a,\\\"b HTTP/1.1\" 304 - \"-\" "
            "\"GPTBot/1\"\n"
            "garbage\n";
        return ReadInsight(TextLines(log), rules, 0);
    }();
    return insight;
}

std::string Html(const Insight* insight) {
    std::string text;
    ReportStream out([&](std::string_view block) {
        text += block;
        return 0;
    });
    WriteInsightHtml(insight, out);
    out.Finish();
    return text;
}

}  // namespace

TEST(InsightWriters, JsonHasEveryTableWholeAndPathsExact) {
    EXPECT_EQ(InsightJsonOf(nullptr), "null\n");
    EXPECT_EQ(InsightJsonOf(&Small()), R"({
    "totals": {"hits": 3, "unparsed": 1, "pages": 2, "visitors": 2, "visits": 1, "bytes": 105, "robot_hits": 1, "ai_hits": 1, "human_hits": 2, "first_day": "2026-12-07", "last_day": "2026-12-08"},
    "days": [
      {"day": "2026-12-07", "hits": 2, "pages": 1, "visitors": 1, "visits": 1, "bytes": 105, "robot_hits": 0},
      {"day": "2026-12-08", "hits": 1, "pages": 1, "visitors": 1, "visits": 0, "bytes": 0, "robot_hits": 1}
    ],
    "weekdays": [
      {"weekday": "月", "hits": 2, "pages": 1},
      {"weekday": "火", "hits": 1, "pages": 1},
      {"weekday": "水", "hits": 0, "pages": 0},
      {"weekday": "木", "hits": 0, "pages": 0},
      {"weekday": "金", "hits": 0, "pages": 0},
      {"weekday": "土", "hits": 0, "pages": 0},
      {"weekday": "日", "hits": 0, "pages": 0}
    ],
    "pages": [
      {"path": "/a,\\\"b", "hits": 2, "visitors": 2, "bytes": 100, "entries": 1, "exits": 1}
    ],
    "not_found": [
      {"path": {"text": "/x�.html", "bytes": "L3iALmh0bWw="}, "hits": 1, "visitors": 1}
    ],
    "status_codes": [
      {"code": 200, "hits": 1},
      {"code": 304, "hits": 1},
      {"code": 404, "hits": 1}
    ],
    "referring_sites": [
      {"host": "www.google.com", "hits": 1}
    ],
    "search_engines": [
      {"name": "Google", "hits": 1}
    ],
    "search_phrases": [
      {"phrase": "=1+2", "hits": 1}
    ],
    "browsers": [
      {"name": "Fox", "hits": 2, "visitors": 1}
    ],
    "operating_systems": [
      {"name": "その他", "hits": 2, "visitors": 1}
    ],
    "devices": [
      {"name": "PC", "hits": 2, "visitors": 1}
    ],
    "robots": [
      {"name": "GPT", "kind": "ai", "hits": 1, "visitors": 1}
    ],
    "hosts": [
      {"host": "192.0.2.1", "hits": 2, "pages": 1, "bytes": 105, "last_seen": "2026-12-07 10:05:00"},
      {"host": "h<2>", "hits": 1, "pages": 1, "bytes": 0, "last_seen": "2026-12-08 23:59:60"}
    ],
    "visit_durations": [1, 0, 0, 0, 0, 0, 0]
  }
)");
    const Insight empty = ReadInsight(TextLines(""), RulesOf("", ""), 0);
    const std::string json = InsightJsonOf(&empty);
    EXPECT_NE(json.find(R"("first_day": null, "last_day": null},)"), std::string::npos);
    EXPECT_NE(json.find("\"days\": [],\n    \"weekdays\": [\n"), std::string::npos);
}

TEST(InsightWriters, HtmlSectionCutsTablesAtFiftyRows) {
    EXPECT_EQ(Html(nullptr),
              "<section class=\"tab\" id=\"insight\">\n<h2>アクセス解析</h2>\n<p class=\"none\">"
              "解析が最後まで終わらなかったため、アクセス解析はありません</p>\n</section>\n");
    const std::string html = Html(&Small());
    for (const char* part : {
             "<tr><th>最初の日</th><td>2026-12-07</td></tr>\n",
             "<section class=\"insight\" id=\"i-pages\" data-table=\"pages\" data-rows=\"1\">\n"
             "<h3>ページ <span class=\"count\">1行</span></h3>\n<table class=\"rows\">\n"
             "<tr><th>ページ</th><th>ヒット</th><th>訪問者</th><th>バイト</th><th>入口</th>"
             "<th>出口</th></tr>\n<tr><td>/a,\\&quot;b</td><td class=\"n\">2</td><td class=\"n\">2"
             "</td><td class=\"n\">100</td><td class=\"n\">1</td><td class=\"n\">1</td></tr>\n"
             "</table>\n</section>\n",
             "<tr><td>/x\xEF\xBF\xBD.html</td>",
             "<tr><td>h&lt;2&gt;</td>",
             "<rect class=\"hits\" x=\"67\" y=\"28\" width=\"6\" height=\"200\" "
             "data-day=\"2026-12-07\" data-count=\"2\"/>",
             "<text x=\"60\" y=\"32\" text-anchor=\"end\">2</text>",
         })
        EXPECT_NE(html.find(part), std::string::npos) << part;

    std::string log;
    for (int i = 0; i < 60; ++i)
        log += "h" + std::to_string(i) +
               " - - [07/Dec/2026:10:00:00 +0900] \"GET / HTTP/1.1\" 200 1\n";
    const Insight many = ReadInsight(TextLines(log), RulesOf("", ""), 0);
    const std::string cut = Html(&many);
    EXPECT_NE(cut.find("<tr><td>h53</td>"), std::string::npos);
    EXPECT_EQ(cut.find("<tr><td>h54</td>"), std::string::npos);  // the 51st in byte order
    EXPECT_NE(cut.find("</table>\n<p class=\"more\">… 他10行</p>\n</section>\n"),
              std::string::npos);
}

TEST(InsightWriters, SummaryShowsTheTotalsAndTheFirstTenRows) {
    EXPECT_EQ(InsightSummaryText(Small()),
              "[アクセス解析]\n  ヒット  3\n  読めなかった行  1\n  ページ  2\n  訪問者  2\n"
              "  訪問  1\n  バイト  105\n  ロボット  1\n  AI  1\n  人  2\n"
              "  最初の日  2026-12-07\n  最後の日  2026-12-08\n"
              "[ページ 上位10]\n   1. /a,\\\"b  ヒット 2  訪問者 2  バイト 100  入口 1  出口 1\n"
              "[参照元サイト 上位10]\n   1. www.google.com  ヒット 1\n"
              "[検索語句 上位10]\n   1. =1+2  ヒット 1\n"
              "[端末 上位10]\n   1. PC  ヒット 2  訪問者 1\n"
              "[ロボット 上位10]\n   1. GPT  種類 ai  ヒット 1  訪問者 1\n");
    // A control byte of the log never reaches the terminal.
    const Insight escape = ReadInsight(
        TextLines("h - - [07/Dec/2026:10:00:00 +0900] \"GET /\x1B[2J HTTP/1.1\" 200 1\n"),
        RulesOf("", ""), 0);
    EXPECT_NE(InsightSummaryText(escape).find("   1. /\xEF\xBF\xBD[2J  "), std::string::npos);
}

TEST(InsightWriters, CsvFilesForSpreadsheets) {
    const std::vector<CsvFile> files = InsightCsvFiles(Small());
    std::string names;
    for (const CsvFile& file : files) names += file.name + " ";
    EXPECT_EQ(names,
              "totals.csv days.csv weekdays.csv pages.csv not_found.csv status_codes.csv "
              "referring_sites.csv search_engines.csv search_phrases.csv browsers.csv "
              "operating_systems.csv devices.csv robots.csv hosts.csv visit_durations.csv ");
    const auto bytes = [&](const std::string& name) {
        for (const CsvFile& file : files)
            if (file.name == name) return file.bytes;
        return std::string();
    };
    EXPECT_EQ(
        bytes("pages.csv"),
        "\xEF\xBB\xBFページ,ヒット,訪問者,バイト,入口,出口\r\n\"/a,\\\"\"b\",2,2,100,1,1\r\n");
    EXPECT_EQ(bytes("search_phrases.csv"), "\xEF\xBB\xBF語句,ヒット\r\n\"'=1+2\",1\r\n");
    EXPECT_EQ(bytes("hosts.csv"),
              "\xEF\xBB\xBFホスト,ヒット,ページ,バイト,最終アクセス\r\n"
              "192.0.2.1,2,1,105,2026-12-07 10:05:00\r\nh<2>,1,1,0,2026-12-08 23:59:60\r\n");
    EXPECT_EQ(bytes("not_found.csv"),
              "\xEF\xBB\xBFパス,ヒット,訪問者\r\n/x\xEF\xBF\xBD.html,1,1\r\n");
}

TEST(InsightWriters, CsvFilesAreSavedWholeAndNeverOverALog) {
    TempDir dir;
    const std::string folder = (dir.Path() / "csv").string();
    SaveInsightCsv(Small(), folder, {});
    EXPECT_EQ(dir.ReadFile("csv/robots.csv"),
              "\xEF\xBB\xBFロボット,種類,ヒット,訪問者\r\nGPT,ai,1,1\r\n");

    // A log named like a table stays as it was, and so does every earlier file.
    const std::string log = dir.WriteFile("csv/hosts.csv", "a log\n");
    dir.WriteFile("csv/days.csv", "old\n");
    try {
        SaveInsightCsv(Small(), folder, {log});
        FAIL() << "a CSV file took the place of a log";
    } catch (const FileCreateError& e) {
        EXPECT_EQ(Cp932ToUtf8(e.Message()),
                  "ファイル \"" + log + "\". 解析したログそのものです を作成できません");
    }
    EXPECT_EQ(dir.ReadFile("csv/hosts.csv"), "a log\n");
    EXPECT_EQ(dir.ReadFile("csv/days.csv"), "old\n");

    // A folder under a regular file can't be made.
    try {
        SaveInsightCsv(Small(), log + "/x", {});
        FAIL() << "a folder under a file";
    } catch (const FileCreateError& e) {
        EXPECT_EQ(Cp932ToUtf8(e.Message()), "フォルダ \"" + log + "/x\". " +
                                                Cp932ToUtf8(SystemErrorText(ENOTDIR)) +
                                                " を作成できません");
    }
}
