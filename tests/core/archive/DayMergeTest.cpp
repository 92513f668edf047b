// The archive's day rule: the larger count of each line, lines in the order
// of their times as written, lines with no time with the line before them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "archive/DatedLines.h"
#include "archive/DayMerge.h"
#include "insight/CalendarDay.h"

using namespace pomurina;

namespace {

// A combined line at "HH:MM:SS" of 5 March 2020 for host.
std::string At(const std::string& clock, const std::string& host) {
    return host + " - - [05/Mar/2020:" + clock + " +0900] \"GET / HTTP/1.1\" 200 1";
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    return text;
}

std::vector<DatedLine> Dated(const std::vector<std::string>& lines) {
    return DateLines(std::vector<std::string_view>(lines.begin(), lines.end()));
}

const std::string a1 = At("10:00:00", "a"), a2 = At("10:00:00", "b"), b1 = At("11:00:00", "c"),
                  c1 = At("12:00:00", "d"), noTime = "garbage";

}  // namespace

TEST(DayMerge, KeepsTheLargerCountInTimeOrder) {
    struct Case {
        const char* name;
        std::vector<std::string> kept, imported, expected;
        std::size_t added, alreadyHad;
    };
    const Case cases[] = {
        {"new day", {}, {b1, a1}, {a1, b1}, 2, 0},
        {"same lines again", {a1, b1}, {a1, b1}, {}, 0, 2},
        {"a subset adds nothing", {a1, b1, c1}, {b1}, {}, 0, 1},
        {"overlap adds the rest", {a1, b1}, {b1, c1}, {a1, b1, c1}, 1, 1},
        {"more copies win", {a1}, {a1, a1, a1}, {a1, a1, a1}, 2, 1},
        {"fewer copies keep the archive's", {a1, a1, a1}, {a1}, {}, 0, 1},
        {"equal times: archive first", {a2}, {a1}, {a2, a1}, 1, 0},
        {"equal times: the log's order", {}, {a2, a1}, {a2, a1}, 2, 0},
        {"earlier line goes before", {b1, c1}, {a1}, {a1, b1, c1}, 1, 0},
        {"no time follows its line", {a1, c1}, {b1, noTime}, {a1, b1, noTime, c1}, 2, 0},
        {"no time first takes the first time", {a1}, {noTime, c1}, {a1, noTime, c1}, 2, 0},
    };
    for (const Case& c : cases) {
        const DayMergeOutcome outcome = MergeDay(Joined(c.kept), Dated(c.imported));
        EXPECT_EQ(outcome.lines, c.expected.empty() ? "" : Joined(c.expected)) << c.name;
        EXPECT_EQ(outcome.added, c.added) << c.name;
        EXPECT_EQ(outcome.alreadyHad, c.alreadyHad) << c.name;
        // Merging the result again changes nothing.
        if (outcome.changed()) {
            EXPECT_FALSE(MergeDay(outcome.lines, Dated(c.imported)).changed()) << c.name;
        }
    }
}

TEST(DatedLines, LinesWithNoTimeTakeTheDayOfTheLineBefore) {
    const std::string day6 = "x - - [06/Mar/2020:00:00:01 +0900] \"GET / HTTP/1.1\" 200 1";
    const std::string leap = "x - - [05/Mar/2020:23:59:60 +0900] \"GET / HTTP/1.1\" 200 1";
    // A time with no request after it is still a time.
    const std::string cut = "x - - [06/Mar/2020:01:00:00 +0900] cut";
    const auto dated = Dated({noTime, "", a1, noTime, day6, noTime, leap, cut});
    const std::vector<std::string> days = {"2020-03-05", "2020-03-05", "2020-03-05", "2020-03-05",
                                           "2020-03-06", "2020-03-06", "2020-03-05", "2020-03-06"};
    ASSERT_EQ(dated.size(), days.size());
    for (std::size_t i = 0; i < days.size(); ++i) EXPECT_EQ(DayText(dated[i].day), days[i]) << i;
    EXPECT_EQ(dated[0].seconds, dated[2].seconds);
    EXPECT_EQ(dated[5].seconds, dated[4].seconds);

    for (const auto& none : std::vector<std::vector<std::string>>{
             {}, {""}, {noTime, "1.2.3.4 - - [32/Mar/2020:00:00:00 +0900] \"GET /\" 200 1"}})
        EXPECT_TRUE(Dated(none).empty());
}
