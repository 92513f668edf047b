// The field reading of a line: what parses, and the fields it gives.
#include <gtest/gtest.h>

#include "insight/AccessLine.h"
#include "insight/CalendarDay.h"

using namespace pomurina;

namespace {

const std::string kHead = "192.0.2.1 - - [06/Dec/2026:10:15:02 +0900] ";

struct Case {
    std::string line;
    bool parses;
    std::string target = "", referrer = "-", agent = "";
    bool hasAgent = false;
    std::int64_t size = 0;
};

}  // namespace

TEST(AccessLine, ReadsTheFieldsOrRefusesTheLine) {
    const Case cases[] = {
        {kHead + "\"GET /a?x=1 HTTP/1.1\" 200 512", true, "/a?x=1", "-", "", false, 512},
        {kHead + "\"GET / HTTP/1.1\" 200 5 \"http://r/\" \"UA\"", true, "/", "http://r/", "UA",
         true, 5},
        // Fields appended by nginx, with or without a blank after the last quote.
        {kHead + "\"GET / HTTP/1.1\" 200 5 \"-\" \"UA\"rt=0.1", true, "/", "-", "UA", true, 5},
        {kHead + "\"GET / HTTP/1.1\" 200 5 \"-\" \"UA\" rt=0.1", true, "/", "-", "UA", true, 5},
        // The pair is all or nothing: one quoted field after the size is the common format.
        {kHead + "\"GET / HTTP/1.1\" 200 5 \"-\"", true, "/", "-", "", false, 5},
        {kHead + "\"GET / HTTP/1.1\" 200 5 \"r\"  \"UA\"", true, "/", "-", "", false, 5},
        {kHead + "\"GET / HTTP/1.1\" 200 5 \"r\" \"UA", true, "/", "-", "", false, 5},
        // Escapes stay in the fields; an escaped quote doesn't end one.
        {kHead + R"("GET /a\"b HTTP/1.1" 404 0 "x\\" "a \"q\" b")", true, R"(/a\"b)", R"(x\\)",
         R"(a \"q\" b)", true, 0},
        {kHead + R"("GET /a\" 200 5)", false},
        {kHead + R"("GET /a\\" 200 5)", true, R"(/a\\)", "-", "", false, 5},
        // Requests that aren't: a method and an empty target.
        {kHead + "\"-\" 408 -", true, "", "-", "", false, 0},
        {kHead + "\"\\x16\\x03\\x01\" 400 226", true, "", "-", "", false, 226},
        {kHead + "\"GET  /x HTTP/1.1\" 200 1", true, "", "-", "", false, 1},
        {kHead + "\"\" 400 1", true, "", "-", "", false, 1},
        // Sizes: 1 to 15 digits or "-", then a blank or the end.
        {kHead + "\"GET / HTTP/1.1\" 200 999999999999999", true, "/", "-", "", false,
         999999999999999},
        {kHead + "\"GET / HTTP/1.1\" 200 1000000000000000", false},
        {kHead + "\"GET / HTTP/1.1\" 200 -5", false},
        {kHead + "\"GET / HTTP/1.1\" 200 12x", false},
        {kHead + "\"GET / HTTP/1.1\" 200 ", false},
        {kHead + "\"GET / HTTP/1.1\" 200", false},
        // Statuses 100 to 599, three digits.
        {kHead + "\"GET / HTTP/1.1\" 099 1", false},
        {kHead + "\"GET / HTTP/1.1\" 600 1", false},
        {kHead + "\"GET / HTTP/1.1\" 100 1", true, "/", "-", "", false, 1},
        {kHead + "\"GET / HTTP/1.1\" 20 1", false},
        // One blank between fields; a TAB is no blank.
        {"192.0.2.1\t- - [06/Dec/2026:10:15:02 +0900] \"GET / HTTP/1.1\" 200 1", false},
        {"192.0.2.1  - - [06/Dec/2026:10:15:02 +0900] \"GET / HTTP/1.1\" 200 1", false},
        {"192.0.2.1 - - [06/Dec/2026:10:15:02 +0900]  \"GET / HTTP/1.1\" 200 1", false},
        {"192.0.2.1 - - [06/Dec/2026:10:15:02 +0900] \"GET / HTTP/1.1\"\t200 1", false},
        {"", false},
    };
    AccessLineReader reader;  // one for every line, as a run reads them
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        AccessLine fields, again;
        ASSERT_EQ(ReadAccessLine(c.line, fields), c.parses);
        ASSERT_EQ(reader.Read(c.line, again), c.parses);
        if (!c.parses) continue;
        EXPECT_EQ(again.time.Seconds(), fields.time.Seconds());
        EXPECT_EQ(fields.host, "192.0.2.1");
        EXPECT_EQ(fields.target, c.target);
        EXPECT_EQ(fields.path, PathOfTarget(c.target));
        EXPECT_EQ(fields.referrer, c.referrer);
        EXPECT_EQ(fields.hasAgent, c.hasAgent);
        EXPECT_EQ(fields.agent, c.agent);
        EXPECT_EQ(fields.size, c.size);
    }
}

TEST(AccessLine, TakesRealDatesAndClocksAsWritten) {
    const struct {
        const char* stamp;
        bool parses;
        const char* day;
    } cases[] = {
        {"29/Feb/2024:00:00:00 +0900", true, "2024-02-29"},
        {"29/Feb/2026:00:00:00 +0900", false, ""},
        {"29/Feb/1900:00:00:00 +0000", false, ""},
        {"29/Feb/2000:00:00:00 +0000", true, "2000-02-29"},
        {"29/Feb/0000:00:00:00 +0000", true, "0000-02-29"},
        {"31/Apr/2026:00:00:00 +0900", false, ""},
        {"00/Jan/2026:00:00:00 +0900", false, ""},
        {"31/Dec/9999:23:59:60 -1200", true, "9999-12-31"},
        {"06/dec/2026:10:15:02 +0900", false, ""},
        {"06/Dec/2026:24:00:00 +0900", false, ""},
        {"06/Dec/2026:23:60:00 +0900", false, ""},
        {"06/Dec/2026:23:59:61 +0900", false, ""},
        {"06/Dec/2026:10:15:02 0900", false, ""},
        {"06/Dec/2026:10:15:02 +090", false, ""},
        {"6/Dec/2026:10:15:02 +0900", false, ""},
        {"06/Dec/26:10:15:02 +0900", false, ""},
    };
    // Read alone, and by one reader after a line of 6 Dec 2026 (whose date
    // it keeps) and after each other.
    AccessLineReader reader;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stamp);
        AccessLine fields, again;
        const std::string line = std::string("h - - [") + c.stamp + "] \"GET / HTTP/1.1\" 200 1";
        ASSERT_TRUE(reader.Read("h - - [06/Dec/2026:10:15:02 +0900] \"-\" 200 1", again));
        ASSERT_EQ(ReadAccessLine(line, fields), c.parses);
        ASSERT_EQ(reader.Read(line, again), c.parses);
        ASSERT_EQ(reader.Read(line, again), c.parses);
        if (c.parses) {
            EXPECT_EQ(DayText(fields.time.day), c.day);
            EXPECT_EQ(again.time.Seconds(), fields.time.Seconds());
        }
    }
    // The zone is ignored, and a leap second is a second after the 59th.
    AccessLine a, b;
    ASSERT_TRUE(ReadAccessLine("h - - [06/Dec/2026:12:34:60 -1100] \"-\" 200 1", a));
    ASSERT_TRUE(ReadAccessLine("h - - [06/Dec/2026:12:35:00 +1400] \"-\" 200 1", b));
    EXPECT_EQ(a.time.Seconds(), b.time.Seconds());
    EXPECT_EQ(a.time.second, 60);
}

TEST(AccessLine, PathsAndWhatIsStatic) {
    const struct {
        const char* target;
        const char* path;
        bool isStatic;
    } cases[] = {
        {"/a/b.css?v=3", "/a/b.css", true},    {"/A/B.PNG#top", "/A/B.PNG", true},
        {"/x.woff2", "/x.woff2", true},        {"/x.html", "/x.html", false},
        {"/css.d/page", "/css.d/page", false}, {"/a.b/", "/a.b/", false},
        {"/file.", "/file.", false},           {"/.js", "/.js", true},
        {"style.css", "style.css", true},      {"", "", false},
        {"/x.cssx", "/x.cssx", false},         {"/#a.png", "/", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.target);
        EXPECT_EQ(PathOfTarget(c.target), c.path);
        EXPECT_EQ(IsStaticPath(PathOfTarget(c.target)), c.isStatic);
    }
}

TEST(CalendarDay, NumbersGoDayByDayAndNameTheirWeekday) {
    // A plain count of days from 1 Jan 1970 backwards and forwards.
    const int lengths[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    std::int32_t expected = *DayNumber({1600, 1, 1});
    for (int year = 1600; year <= 2400; ++year)
        for (int month = 1; month <= 12; ++month) {
            const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
            const int days = lengths[month - 1] + (month == 2 && leap);
            for (int day = 1; day <= days; ++day, ++expected) {
                ASSERT_EQ(DayNumber({year, month, day}), expected);
                const CivilDate back = DateOfDay(expected);
                ASSERT_EQ(back.year * 10000 + back.month * 100 + back.day,
                          year * 10000 + month * 100 + day);
            }
            EXPECT_FALSE(DayNumber({year, month, days + 1}));
        }
    EXPECT_EQ(DayNumber({1970, 1, 1}), 0);
    EXPECT_EQ(WeekdayOf(*DayNumber({2026, 12, 7})), 0);   // a Monday
    EXPECT_EQ(WeekdayOf(*DayNumber({1969, 12, 28})), 6);  // a Sunday
    EXPECT_EQ(DayText(*DayNumber({1, 2, 3})), "0001-02-03");
}
