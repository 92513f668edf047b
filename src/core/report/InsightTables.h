#pragma once
// The insight's tables as every writer shows them: each table's key (the
// JSON key and the CSV file's name), its Japanese title, its columns (JSON
// key and Japanese caption) and its cells.  Numbers are numbers; names,
// phrases, days and times are UTF-8; paths and hosts are the log's bytes.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "insight/Insight.h"

namespace pomurina {

struct InsightCell {
    enum class Kind { Number, Text, LogText };
    Kind kind = Kind::Number;
    std::int64_t number = 0;  // Number: the value; ordered Text: its order
    bool ordered = false;     // Text of a day or a time: number orders it as the text would
    std::string text;         // Text: UTF-8
    std::string_view log;     // LogText: the log's bytes
};

struct InsightColumn {
    const char* key;
    const char* caption;
};

struct InsightTable {
    const char* key;
    const char* title;
    std::vector<InsightColumn> columns;
    std::size_t rows = 0;
    // The cell in row r (0-based) and column c.
    std::function<InsightCell(std::size_t r, std::size_t c)> cell;
    // For a table of many rows: cell(r, c).number without making the cell's
    // text, for the columns of numbers, days and times; null: take cell().
    std::function<std::int64_t(std::size_t r, std::size_t c)> number;
};

// The tables in the order the reports show them, from days to hosts, then
// the virtual hosts when any line names one (the totals and the visit
// durations are apart: see below).
std::vector<InsightTable> InsightTablesOf(const Insight& insight);

// The totals as a table of two columns (項目, 値): the JSON keys in order.
InsightTable InsightTotalsTable(const Insight& insight);

// The visit durations as a table (区間, 訪問).
InsightTable VisitDurationsTable(const Insight& insight);

// "YYYY-MM-DD HH:MM:SS" as written in the log.
std::string SeenTimeText(const SeenTime& time);

// 月 火 水 木 金 土 日.
std::string_view WeekdayName(std::size_t weekday);

}  // namespace pomurina
