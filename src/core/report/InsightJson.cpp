#include "report/InsightJson.h"

#include <charconv>

#include "insight/CalendarDay.h"
#include "report/InsightTables.h"
#include "report/JsonText.h"

namespace pomurina {
namespace {

void AppendInteger(std::int64_t value, std::string& out) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    out.append(digits, end);
}

void AppendKey(std::string_view key, std::string& out) {
    out += '"';
    out += key;
    out += "\": ";
}

void AppendCell(const InsightCell& cell, std::string& out) {
    switch (cell.kind) {
        case InsightCell::Kind::Number:
            AppendInteger(cell.number, out);
            break;
        case InsightCell::Kind::Text:
            AppendJsonUtf8(cell.text, out);
            break;
        case InsightCell::Kind::LogText:
            AppendJsonLine(cell.log, out);
            break;
    }
}

void AppendDay(const std::optional<std::int32_t>& day, std::string& out) {
    if (day)
        AppendJsonUtf8(DayText(*day), out);
    else
        out += "null";
}

void WriteTotals(const InsightTotals& t, std::string& b) {
    const std::pair<const char*, std::int64_t> numbers[] = {{"hits", t.hits},
                                                            {"unparsed", t.unparsed},
                                                            {"pages", t.pages},
                                                            {"visitors", t.visitors},
                                                            {"visits", t.visits},
                                                            {"bytes", t.bytes},
                                                            {"robot_hits", t.robotHits},
                                                            {"ai_hits", t.aiHits},
                                                            {"human_hits", t.humanHits}};
    b += "    \"totals\": {";
    for (const auto& [key, value] : numbers) {
        AppendKey(key, b);
        AppendInteger(value, b);
        b += ", ";
    }
    AppendKey("first_day", b);
    AppendDay(t.firstDay, b);
    b += ", ";
    AppendKey("last_day", b);
    AppendDay(t.lastDay, b);
    b += "},\n";
}

void WriteTable(const InsightTable& table, ReportStream& out) {
    std::string& b = out.Buffer();
    b += "    ";
    AppendKey(table.key, b);
    b += '[';
    for (std::size_t r = 0; r < table.rows; ++r) {
        b += r == 0 ? "\n      {" : ",\n      {";
        for (std::size_t c = 0; c < table.columns.size(); ++c) {
            if (c > 0) b += ", ";
            AppendKey(table.columns[c].key, b);
            AppendCell(table.cell(r, c), b);
        }
        b += '}';
        out.Breathe();
    }
    b += table.rows == 0 ? "],\n" : "\n    ],\n";
}

}  // namespace

void WriteInsightObject(const InsightTotals& totals, const std::vector<const InsightTable*>& tables,
                        const InsightTable& durations, ReportStream& out) {
    std::string& b = out.Buffer();
    b += "{\n";
    WriteTotals(totals, b);
    for (const InsightTable* table : tables) WriteTable(*table, out);
    b += "    \"visit_durations\": [";
    for (std::size_t k = 0; k < durations.rows; ++k) {
        if (k > 0) b += ", ";
        AppendInteger(durations.cell(k, 1).number, b);
    }
    b += "]\n  }";
}

void WriteInsightJson(const Insight* insight, ReportStream& out) {
    out.Buffer() += "  \"insight\": ";
    if (!insight) {
        out.Buffer() += "null";
        return;
    }
    const std::vector<InsightTable> tables = InsightTablesOf(*insight);
    std::vector<const InsightTable*> pointers;
    for (const InsightTable& table : tables) pointers.push_back(&table);
    WriteInsightObject(insight->totals, pointers, VisitDurationsTable(*insight), out);
}

}  // namespace pomurina
