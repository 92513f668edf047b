// What a filter keeps: the host list's entries, the option values, and the
// lines a selector passes, each against a table of cases.
#include <gtest/gtest.h>

#include "filter/HostList.h"
#include "filter/LineFilter.h"
#include "filter/LineSelector.h"
#include "filter/PeriodPreset.h"
#include "insight/AgentRules.h"
#include "text/TextLines.h"

namespace pomurina {
namespace {

using namespace std::string_literals;

TEST(HostList, LeavesOutExactHostsAndAddressRanges) {
    const HostList list = HostList::Parse(
        "  my.example.jp \r\n"
        "203.0.113.0/24\n"
        "\n"
        "2001:db8::/32\r"
        "198.51.100.7\n"
        "2001:db8:ffff::1/129\n"  // too long a prefix
        "10.0.0.0/x\n"
        "bad host/8\n"
        "192.0.2.0/0\0after.the.zero\n"s);
    EXPECT_EQ(list.Size(), 5u);
    ASSERT_EQ(list.BadEntries().size(), 3u);
    EXPECT_EQ(list.BadEntries()[0].line, 6u);
    EXPECT_EQ(list.BadEntries()[2].text, "bad host/8");
    const struct {
        const char* host;
        bool left;
    } cases[] = {
        {"my.example.jp", true},
        {"MY.example.jp", false},
        {"203.0.113.0", true},
        {"203.0.113.255", true},
        {"203.0.114.1", true},  // 192.0.2.0/0 takes every IPv4
        {"198.51.100.7", true},
        {"2001:db8::1", true},
        {"2001:0DB8:0:0::9", true},
        {"2001:db9::1", false},
        {"::ffff:203.0.113.9", true},
        {"after.the.zero", false},
        {"", false},
        {"my.example.jp.", false},
    };
    for (const auto& c : cases) EXPECT_EQ(list.Contains(c.host), c.left) << c.host;

    const HostList narrow = HostList::Parse("203.0.113.128/25\n2001:db8:8000::/33\n");
    const struct {
        const char* host;
        bool left;
    } edges[] = {{"203.0.113.127", false},  {"203.0.113.128", true},
                 {"203.0.113.255", true},   {"2001:db8:7fff::1", false},
                 {"2001:db8:8000::", true}, {"::203.0.113.200", false}};
    for (const auto& c : edges) EXPECT_EQ(narrow.Contains(c.host), c.left) << c.host;
}

TEST(LineFilter, ReadsDaysAndStatusClassesAndSaysWhatIsApplied) {
    EXPECT_EQ(ParseDayText("1970-01-02"), 1);
    EXPECT_EQ(ParseDayText("2024-02-29"), ParseDayText("2024-03-01").value() - 1);
    for (const char* bad :
         {"2023-02-29", "2024-13-01", "2024-1-01", "2024/01/01", "", "20240101xx"})
        EXPECT_FALSE(ParseDayText(bad)) << bad;

    EXPECT_EQ(ParseStatusClasses("2xx,4XX"), (1u << 2) | (1u << 4));
    for (const char* bad : {"", "1xx", "6xx", "2xx,", "200", "2xx 4xx"})
        EXPECT_FALSE(ParseStatusClasses(bad)) << bad;
    EXPECT_EQ(StatusClassesText(0x3C), "2xx,3xx,4xx,5xx");

    LineFilter filter;
    EXPECT_FALSE(filter.IsSet());
    EXPECT_EQ(filter.Description(), "");
    filter.firstDay = ParseDayText("2024-05-01");
    filter.humansOnly = true;
    filter.pathPrefix = "/blog/";
    filter.statusClasses = 1u << 4;
    filter.vhost = "shop.example.jp";
    EXPECT_EQ(filter.Description(),
              "期間 2024-05-01〜・ロボットを除く・パス /blog/・ステータス 4xx・バーチャルホスト "
              "shop.example.jp");
    for (const char* name : {"a", "shop.example.jp", "SHOP-2_x.jp"})
        EXPECT_TRUE(IsVirtualHostName(name));
    for (const char* bad : {"", "a b", "shop.example.jp:443", "ショップ.jp", "a/b"})
        EXPECT_FALSE(IsVirtualHostName(bad)) << bad;
}

TEST(PeriodPreset, CutsEachPresetToTheLogsDays) {
    const auto day = [](const char* text) { return *ParseDayText(text); };
    using P = PeriodPreset;
    const struct {
        P preset;
        const char *logFirst, *logLast, *first, *last;  // first null: no period
    } cases[] = {
        {P::WholeLog, "2026-11-20", "2026-12-12", "2026-11-20", "2026-12-12"},
        {P::LastDay, "2026-11-20", "2026-12-12", "2026-12-12", "2026-12-12"},
        {P::Last7Days, "2026-11-20", "2026-12-12", "2026-12-06", "2026-12-12"},
        {P::Last7Days, "2026-12-10", "2026-12-12", "2026-12-10", "2026-12-12"},
        {P::Last30Days, "2026-01-01", "2026-03-01", "2026-01-31", "2026-03-01"},
        {P::LastDayMonth, "2026-11-20", "2026-12-12", "2026-12-01", "2026-12-12"},
        {P::MonthBefore, "2026-11-20", "2026-12-12", "2026-11-20", "2026-11-30"},
        {P::MonthBefore, "2024-01-15", "2024-03-31", "2024-02-01", "2024-02-29"},
        {P::MonthBefore, "2026-01-05", "2026-01-31", nullptr, nullptr},
        {P::MonthBefore, "2025-12-01", "2026-01-31", "2025-12-01", "2025-12-31"},
        {P::MonthBefore, "0000-01-01", "0000-01-09", nullptr, nullptr},
    };
    for (const auto& c : cases) {
        const auto period = PresetPeriod(c.preset, {day(c.logFirst), day(c.logLast)});
        SCOPED_TRACE(std::string(c.logFirst) + " " + c.logLast);
        if (!c.first) {
            EXPECT_FALSE(period);
            continue;
        }
        ASSERT_TRUE(period);
        EXPECT_EQ(*period, (DayRange{day(c.first), day(c.last)}));
    }
}

TEST(LineSelector, PassesTheLinesOfEveryPartOfTheFilter) {
    const std::string log =
        "1.1.1.1 - - [01/May/2024:10:00:00 +0900] \"GET /blog/a?x HTTP/1.1\" 200 5 \"-\" "
        "\"Mozilla\"\n"
        "2.2.2.2 - - [02/May/2024:10:00:00 +0900] \"GET /blog HTTP/1.1\" 404 5 \"-\" "
        "\"Googlebot/2.1\"\n"
        "1.1.1.1 - - [03/May/2024:10:00:00 +0900] \"GET /img.png HTTP/1.1\" 304 - \"-\" \"-\"\n"
        "3.3.3.3 - - [31/May/2024:23:59:59 +0900] \"POST /blog/b HTTP/1.1\" 500 0\n"
        "not a line of a log\n"
        "2.2.2.2 - - [01/Jun/2024:00:00:00 +0900] \"GET /blog/c HTTP/1.1\" 199 5 \"-\" "
        "\"Mozilla\"\n"
        "4.4.4.4 vhost=Shop.example.jp - [01/Jun/2024:00:00:00 +0900] \"GET / HTTP/1.1\" 200 5\n"
        "4.4.4.4 vhost=shop.example.jp.evil - [01/Jun/2024:00:00:00 +0900] \"GET / HTTP/1.1\" 200 "
        "5\n";
    const TextLines lines(log);
    const AgentRules agents({{"bot", "Googlebot", "Googlebot"}});
    const auto hosts = std::make_shared<const HostList>(HostList::Parse("1.1.1.0/24\n"));
    const auto with = [](auto set) {
        LineFilter filter;
        set(filter);
        return filter;
    };
    const struct {
        const char* name;
        LineFilter filter;
        std::vector<std::uint64_t> kept;
    } cases[] = {
        {"nothing set", {}, {0, 1, 2, 3, 4, 5, 6, 7}},
        {"period",
         with([](LineFilter& f) {
             f.firstDay = ParseDayText("2024-05-02");
             f.lastDay = ParseDayText("2024-05-31");
         }),
         {1, 2, 3}},
        {"hosts", with([&](LineFilter& f) { f.excludedHosts = hosts; }), {1, 3, 5, 6, 7}},
        {"humans", with([](LineFilter& f) { f.humansOnly = true; }), {0, 3, 5, 6, 7}},
        {"path", with([](LineFilter& f) { f.pathPrefix = "/blog"; }), {0, 1, 3, 5}},
        {"path with slash", with([](LineFilter& f) { f.pathPrefix = "/blog/"; }), {0, 3, 5}},
        {"status",
         with([](LineFilter& f) { f.statusClasses = (1u << 2) | (1u << 5); }),
         {0, 3, 6, 7}},
        {"vhost", with([](LineFilter& f) { f.vhost = "shop.EXAMPLE.jp"; }), {6}},
        {"together",
         with([](LineFilter& f) {
             f.lastDay = ParseDayText("2024-05-31");
             f.humansOnly = true;
             f.pathPrefix = "/blog";
         }),
         {0, 3}},
    };
    for (const auto& c : cases) EXPECT_EQ(SelectLines(lines, c.filter, agents), c.kept) << c.name;
}

}  // namespace
}  // namespace pomurina
