// The lines a row of the insight names are exactly those the insight counted
// in that row.  The model: each line read alone into an insight of its own,
// whose tables say which rows it is counted in.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "InsightDriver.h"
#include "TempDir.h"
#include "insight/InsightWhole.h"
#include "insight/RowLines.h"
#include "report/InsightTables.h"
#include "text/TextList.h"

using namespace pomurina;
using namespace pomurina::testing;
namespace fs = std::filesystem;

namespace {

const char* const kTableKeys[] = {
    "days",           "pages",  "not_found", "status_codes", "referring_sites",
    "search_phrases", "robots", "hosts"};

// A row's name among all tables: "table<TAB>what".
std::string RowName(const std::string& table, const std::string& what) {
    return table + "\t" + what;
}

// The rows that the insight of line, read alone, counts it in.
std::vector<std::string> RowsOfLine(std::string_view line, const InsightRules& rules) {
    InsightPart part(rules);
    part.Read(line);
    InsightWhole whole(rules);
    whole.Merge(part);
    const Insight one = whole.Finish();
    std::vector<std::string> rows;
    for (const auto& r : one.days) rows.push_back(RowName("days", std::to_string(r.day)));
    for (const auto& r : one.pages)
        if (r.hits > 0) rows.push_back(RowName("pages", r.path));
    for (const auto& r : one.notFound) rows.push_back(RowName("not_found", r.path));
    for (const auto& r : one.statusCodes)
        rows.push_back(RowName("status_codes", std::to_string(r.code)));
    for (const auto& r : one.referringSites) rows.push_back(RowName("referring_sites", r.key));
    for (const auto& r : one.searchPhrases) rows.push_back(RowName("search_phrases", r.key));
    for (const auto& r : one.robots)
        rows.push_back(RowName("robots", r.name + (r.kind == RobotKind::Ai ? "/ai" : "/bot")));
    for (const auto& r : one.hosts) rows.push_back(RowName("hosts", r.host));
    return rows;
}

std::string RowName(const InsightRow& row) {
    switch (row.table) {
        case RowTable::Days:
            return RowName("days", std::to_string(row.number));
        case RowTable::StatusCodes:
            return RowName("status_codes", std::to_string(row.number));
        case RowTable::Pages:
            return RowName("pages", row.text);
        case RowTable::NotFound:
            return RowName("not_found", row.text);
        case RowTable::ReferringSites:
            return RowName("referring_sites", row.text);
        case RowTable::SearchPhrases:
            return RowName("search_phrases", row.text);
        case RowTable::Robots:
            return RowName("robots", row.text + (row.kind == RobotKind::Ai ? "/ai" : "/bot"));
        case RowTable::Hosts:
            return RowName("hosts", row.text);
        case RowTable::VirtualHosts:
            return RowName("vhosts", row.text);
    }
    return {};
}

// Every row's lines by the model, against FindRowLines for up to 12 rows of
// each table (the first ones and some spread to the last), and every row's
// count of lines against its hits.
void ExpectRowsHoldTheirLines(const std::string& bytes, const InsightRules& rules,
                              const std::string& name) {
    auto lines = std::make_shared<const TextLines>(bytes);
    const Insight insight = ReadInsight(*lines, rules, 4096, 2);
    std::map<std::string, std::vector<std::size_t>> model;
    for (std::size_t i = 0; i < lines->Count(); ++i)
        for (const std::string& row : RowsOfLine(lines->At(i), rules)) model[row].push_back(i);
    const std::atomic<bool> notCancelled{false};
    for (const InsightTable& table : InsightTablesOf(insight)) {
        std::size_t hitsColumn = 0;
        while (hitsColumn < table.columns.size() &&
               std::string_view(table.columns[hitsColumn].key) != "hits")
            ++hitsColumn;
        const bool named = std::find_if(std::begin(kTableKeys), std::end(kTableKeys), [&](auto k) {
                               return std::string_view(k) == table.key;
                           }) != std::end(kTableKeys);
        if (!named) {
            EXPECT_FALSE(InsightRowOf(insight, table.key, 0)) << table.key;
            continue;
        }
        EXPECT_FALSE(InsightRowOf(insight, table.key, table.rows)) << table.key;
        const std::size_t step = std::max<std::size_t>(1, table.rows / 6);
        for (std::size_t r = 0; r < table.rows; ++r) {
            const auto row = InsightRowOf(insight, table.key, r);
            ASSERT_TRUE(row) << table.key << " " << r;
            const std::vector<std::size_t>& expected = model[RowName(*row)];
            EXPECT_EQ(static_cast<std::int64_t>(expected.size()), table.cell(r, hitsColumn).number)
                << name << " " << RowName(*row);
            if (r < 6 || r % step == 0 || r + 1 == table.rows) {
                EXPECT_EQ(FindRowLines(*lines, rules, *row, notCancelled), expected)
                    << name << " " << RowName(*row);
            }
        }
    }
}

// The first count lines of text: the model reads each line into an insight
// of its own, which takes a while.
std::string FirstLines(const std::string& text, std::size_t count) {
    std::size_t end = 0;
    for (std::size_t n = 0; n < count && end != std::string::npos; ++n) {
        end = text.find('\n', end);
        if (end != std::string::npos) ++end;
    }
    return end == std::string::npos ? text : text.substr(0, end);
}

const InsightRules& AwkwardRules() {
    static const InsightRules rules =
        RulesOf("browser\tFox\tFirefox\nbot\tBot\tbot\nai\tAI\tGPT\nbot\tAI\tAIbot\n",
                "G\tgoogle.com\tq\n", {"own.example"});
    return rules;
}

}  // namespace

TEST(RowLines, AwkwardLinesBelongWhereTheInsightCountsThem) {
    const std::string kTime = " - - [05/Mar/2020:10:00:00 +0900] ";
    const std::string log =
        "a.example" + kTime + "\"GET /index.html HTTP/1.1\" 200 10 \"-\" \"Firefox\"\n" +
        "a.example" + kTime + "\"GET /style.css HTTP/1.1\" 200 10 \"-\" \"Firefox\"\n" +
        "b.example" + kTime + "\"GET /index.html?x=1 HTTP/1.1\" 304 - \"-\" \"-\"\n" + "b.example" +
        kTime + "\"GET /gone HTTP/1.1\" 404 5\n" + "c.example" + kTime +
        "\"GET /index.html HTTP/1.1\" 500 5 \"-\" \"GPT\"\n" + "c.example" + kTime +
        "\"GET / HTTP/1.1\" 200 5 \"HTTP://WWW.Google.com/s?q=Ab+C\" \"AIbot\"\n" + "d.example" +
        kTime + "\"GET / HTTP/1.1\" 200 5 \"https://own.example/x\" \"bot\"\n" +
        "d.example - - [06/Mar/2020:00:00:60 +0900] \"GET / HTTP/1.1\" 200 5 \"-\" \"\"\n" +
        "d.example  - - [06/Mar/2020:00:00:00 +0900] \"GET / HTTP/1.1\" 200 5\n" +
        "e.example - - [31/Feb/2020:00:00:00 +0900] \"GET / HTTP/1.1\" 200 5\n" + "f.example" +
        kTime + "\"GET /gone HTTP/1.1\" 404 5 \"http://Ref.example:8080/\" \"bot\"\n";
    ExpectRowsHoldTheirLines(log, AwkwardRules(), "awkward");
    // Spot checks that the model itself reads these lines as meant.
    const auto lines = std::make_shared<const TextLines>(log);
    const Insight insight = ReadInsight(*lines, AwkwardRules(), 0);
    const std::atomic<bool> no{false};
    struct Case {
        const char* table;
        std::string what;
        std::vector<std::size_t> lines;
    };
    const Case cases[] = {
        {"pages", "/index.html", {0, 2}}, {"not_found", "/gone", {3, 10}},
        {"hosts", "d.example", {6, 7}},   {"referring_sites", "ref.example", {10}},
        {"search_phrases", "ab c", {5}},
    };
    for (const Case& c : cases) {
        std::optional<InsightRow> found;
        for (std::size_t r = 0; !found && InsightRowOf(insight, c.table, r); ++r) {
            auto row = InsightRowOf(insight, c.table, r);
            if (row->text == c.what) found = row;
        }
        ASSERT_TRUE(found) << c.table << " " << c.what;
        EXPECT_EQ(FindRowLines(*lines, AwkwardRules(), *found, no), c.lines) << c.what;
    }
}

TEST(RowLines, RealLogsAndAGeneratedOne) {
    const fs::path rulesFolder = fs::path(POMURINA_SOURCE_DIR) / "defaults/materia";
    const auto rules = LoadInsightRules(rulesFolder.string(), {"tag-school.co.jp", "example.com"});
    const fs::path folder = POMURINA_REALLOGS;
    if (fs::exists(folder)) {
        for (const auto& entry : fs::directory_iterator(folder))
            if (entry.path().extension() == ".log")
                ExpectRowsHoldTheirLines(FirstLines(ReadFileBytes(entry.path()), 3000), *rules,
                                         entry.path().filename().string());
    }
    TempDir dir;
    const std::string log = (dir.Path() / "g.log").string();
    const std::string command =
        std::string(POMURINA_GENLOG) + " --variety --lines 6000 --seed 7 > '" + log + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    ExpectRowsHoldTheirLines(ReadFileBytes(log), *rules, "generated");
}

TEST(RowLines, ACancelledSearchGivesNothing) {
    std::string log;
    for (int i = 0; i < 40000; ++i)
        log += "h - - [05/Mar/2020:10:00:00 +0900] \"GET / HTTP/1.1\" 200 1\n";
    const TextLines lines{log};
    InsightRow row;
    row.text = "h";
    const std::atomic<bool> cancelled{true}, going{false};
    EXPECT_FALSE(FindRowLines(lines, AwkwardRules(), row, cancelled));
    EXPECT_EQ(FindRowLines(lines, AwkwardRules(), row, going)->size(), 40000u);
}
