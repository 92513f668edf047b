#include "report/InsightTables.h"

#include <array>
#include <cstdio>

#include "insight/CalendarDay.h"

namespace pomurina {
namespace {

InsightCell Number(std::int64_t value) {
    InsightCell cell;
    cell.number = value;
    return cell;
}

InsightCell Text(std::string text) {
    InsightCell cell;
    cell.kind = InsightCell::Kind::Text;
    cell.text = std::move(text);
    return cell;
}

// A day or a time as text, with a number that sorts as the text does.
InsightCell OrderedText(std::string text, std::int64_t order) {
    InsightCell cell = Text(std::move(text));
    cell.number = order;
    cell.ordered = true;
    return cell;
}

std::int64_t TimeOrder(const SeenTime& t) {
    return ((static_cast<std::int64_t>(t.day) * 24 + t.hour) * 60 + t.minute) * 61 + t.second;
}

InsightCell Log(std::string_view bytes) {
    InsightCell cell;
    cell.kind = InsightCell::Kind::LogText;
    cell.log = bytes;
    return cell;
}

// A table whose rows are the elements of rows, each cell given by the column's getter.
template <typename Row>
InsightTable TableOf(const char* key, const char* title, const std::vector<Row>& rows,
                     std::vector<InsightColumn> columns,
                     std::vector<std::function<InsightCell(const Row&)>> getters) {
    InsightTable table{key, title, std::move(columns), rows.size(), {}, {}};
    table.cell = [&rows, getters = std::move(getters)](std::size_t r, std::size_t c) {
        return getters[c](rows[r]);
    };
    return table;
}

constexpr InsightColumn kHits{"hits", "ヒット"};
constexpr InsightColumn kVisitors{"visitors", "訪問者"};

// A table of names of human requests.
InsightTable NameTable(const char* key, const char* title, const char* caption,
                       const std::vector<NameRow>& rows) {
    return TableOf<NameRow>(key, title, rows, {{"name", caption}, kHits, kVisitors},
                            {[](const NameRow& r) { return Text(r.name); },
                             [](const NameRow& r) { return Number(r.hits); },
                             [](const NameRow& r) { return Number(r.visitors); }});
}

InsightTable HitsTable(const char* key, const char* title, InsightColumn column, bool logText,
                       const std::vector<HitsRow>& rows) {
    return TableOf<HitsRow>(
        key, title, rows, {column, kHits},
        {[logText](const HitsRow& r) { return logText ? Log(r.key) : Text(r.key); },
         [](const HitsRow& r) { return Number(r.hits); }});
}

}  // namespace

std::string SeenTimeText(const SeenTime& time) {
    char text[16];
    std::snprintf(text, sizeof text, " %02d:%02d:%02d", time.hour, time.minute, time.second);
    return DayText(time.day) + text;
}

std::string_view WeekdayName(std::size_t weekday) {
    static constexpr std::array<std::string_view, 7> kNames = {"月", "火", "水", "木",
                                                               "金", "土", "日"};
    return kNames[weekday];
}

std::vector<InsightTable> InsightTablesOf(const Insight& insight) {
    std::vector<InsightTable> tables;
    tables.push_back(
        TableOf<DayRow>("days", "日別", insight.days,
                        {{"day", "日付"},
                         kHits,
                         {"pages", "ページ"},
                         kVisitors,
                         {"visits", "訪問"},
                         {"bytes", "バイト"},
                         {"robot_hits", "ロボット"}},
                        {[](const DayRow& r) { return OrderedText(DayText(r.day), r.day); },
                         [](const DayRow& r) { return Number(r.hits); },
                         [](const DayRow& r) { return Number(r.pages); },
                         [](const DayRow& r) { return Number(r.visitors); },
                         [](const DayRow& r) { return Number(r.visits); },
                         [](const DayRow& r) { return Number(r.bytes); },
                         [](const DayRow& r) { return Number(r.robotHits); }}));
    InsightTable weekdays{"weekdays",
                          "曜日別",
                          {{"weekday", "曜日"}, kHits, {"pages", "ページ"}},
                          insight.weekdays.size(),
                          {},
                          {}};
    weekdays.cell = [&insight](std::size_t r, std::size_t c) {
        const WeekdayRow& row = insight.weekdays[r];
        return c == 0 ? Text(std::string(WeekdayName(r))) : Number(c == 1 ? row.hits : row.pages);
    };
    tables.push_back(std::move(weekdays));
    tables.push_back(TableOf<PageRow>("pages", "ページ", insight.pages,
                                      {{"path", "ページ"},
                                       kHits,
                                       kVisitors,
                                       {"bytes", "バイト"},
                                       {"entries", "入口"},
                                       {"exits", "出口"}},
                                      {[](const PageRow& r) { return Log(r.path); },
                                       [](const PageRow& r) { return Number(r.hits); },
                                       [](const PageRow& r) { return Number(r.visitors); },
                                       [](const PageRow& r) { return Number(r.bytes); },
                                       [](const PageRow& r) { return Number(r.entries); },
                                       [](const PageRow& r) { return Number(r.exits); }}));
    tables.push_back(
        TableOf<NotFoundRow>("not_found", "見つからないページ (404)", insight.notFound,
                             {{"path", "パス"}, kHits, kVisitors},
                             {[](const NotFoundRow& r) { return Log(r.path); },
                              [](const NotFoundRow& r) { return Number(r.hits); },
                              [](const NotFoundRow& r) { return Number(r.visitors); }}));
    tables.push_back(TableOf<StatusRow>("status_codes", "状態コード", insight.statusCodes,
                                        {{"code", "コード"}, kHits},
                                        {[](const StatusRow& r) { return Number(r.code); },
                                         [](const StatusRow& r) { return Number(r.hits); }}));
    tables.push_back(HitsTable("referring_sites", "参照元サイト", {"host", "サイト"}, true,
                               insight.referringSites));
    tables.push_back(HitsTable("search_engines", "検索エンジン", {"name", "検索エンジン"}, false,
                               insight.searchEngines));
    tables.push_back(
        HitsTable("search_phrases", "検索語句", {"phrase", "語句"}, false, insight.searchPhrases));
    tables.push_back(NameTable("browsers", "ブラウザ", "ブラウザ", insight.browsers));
    tables.push_back(NameTable("operating_systems", "OS", "OS", insight.operatingSystems));
    tables.push_back(NameTable("devices", "端末", "端末", insight.devices));
    tables.push_back(TableOf<RobotRow>(
        "robots", "ロボット", insight.robots,
        {{"name", "ロボット"}, {"kind", "種類"}, kHits, kVisitors},
        {[](const RobotRow& r) { return Text(r.name); },
         [](const RobotRow& r) { return Text(r.kind == RobotKind::Ai ? "ai" : "bot"); },
         [](const RobotRow& r) { return Number(r.hits); },
         [](const RobotRow& r) { return Number(r.visitors); }}));
    InsightTable hosts(TableOf<HostRow>("hosts", "ホスト", insight.hosts,
                                        {{"host", "ホスト"},
                                         kHits,
                                         {"pages", "ページ"},
                                         {"bytes", "バイト"},
                                         {"last_seen", "最終アクセス"}},
                                        {[](const HostRow& r) { return Log(r.host); },
                                         [](const HostRow& r) { return Number(r.hits); },
                                         [](const HostRow& r) { return Number(r.pages); },
                                         [](const HostRow& r) { return Number(r.bytes); },
                                         [](const HostRow& r) {
                                             return OrderedText(SeenTimeText(r.lastSeen),
                                                                TimeOrder(r.lastSeen));
                                         }}));
    hosts.number = [&rows = insight.hosts](std::size_t r, std::size_t c) -> std::int64_t {
        const HostRow& row = rows[r];
        switch (c) {
            case 1:
                return row.hits;
            case 2:
                return row.pages;
            case 3:
                return row.bytes;
            case 4:
                return TimeOrder(row.lastSeen);
            default:
                return 0;
        }
    };
    tables.push_back(std::move(hosts));
    // Only a log whose lines name virtual hosts has this table.
    if (!insight.vhosts.empty())
        tables.push_back(TableOf<VirtualHostRow>(
            "vhosts", "バーチャルホスト", insight.vhosts,
            {{"vhost", "バーチャルホスト"}, kHits, {"pages", "ページ"}, kVisitors, {"bytes", "バイト"}},
            {[](const VirtualHostRow& r) { return Log(r.vhost); },
             [](const VirtualHostRow& r) { return Number(r.hits); },
             [](const VirtualHostRow& r) { return Number(r.pages); },
             [](const VirtualHostRow& r) { return Number(r.visitors); },
             [](const VirtualHostRow& r) { return Number(r.bytes); }}));
    return tables;
}

InsightTable InsightTotalsTable(const Insight& insight) {
    static constexpr const char* kItems[] = {"ヒット", "読めなかった行", "ページ",   "訪問者",
                                             "訪問",   "バイト",         "ロボット", "AI",
                                             "人",     "最初の日",       "最後の日"};
    InsightTable table{"totals",          "合計", {{"item", "項目"}, {"value", "値"}},
                       std::size(kItems), {},     {}};
    table.cell = [&insight](std::size_t r, std::size_t c) {
        if (c == 0) return Text(kItems[r]);
        const InsightTotals& t = insight.totals;
        const std::int64_t numbers[] = {t.hits,  t.unparsed,  t.pages,  t.visitors, t.visits,
                                        t.bytes, t.robotHits, t.aiHits, t.humanHits};
        if (r < std::size(numbers)) return Number(numbers[r]);
        const auto& day = r == std::size(numbers) ? t.firstDay : t.lastDay;
        return Text(day ? DayText(*day) : std::string());
    };
    return table;
}

InsightTable VisitDurationsTable(const Insight& insight) {
    static constexpr const char* kSpans[] = {"30秒未満", "30秒〜2分",   "2〜5分",   "5〜15分",
                                             "15〜30分", "30分〜1時間", "1時間以上"};
    InsightTable table{"visit_durations",
                       "訪問の長さ",
                       {{"span", "長さ"}, {"visits", "訪問"}},
                       insight.visitDurations.size(),
                       {},
                       {}};
    table.cell = [&insight](std::size_t r, std::size_t c) {
        return c == 0 ? Text(kSpans[r]) : Number(insight.visitDurations[r]);
    };
    return table;
}

}  // namespace pomurina
