#include "report/InsightSummary.h"

#include <algorithm>
#include <string_view>

#include "report/InsightTables.h"
#include "text/Cp932.h"

namespace pomurina {
namespace {

constexpr std::size_t kTopRows = 10;

// Text for a terminal: a control character (one of the log's, say an
// escape sequence) shows as U+FFFD and does nothing.
void AppendPrintable(std::string_view utf8, std::string& out) {
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F)
            out += "\xEF\xBF\xBD";
        else
            out += c;
    }
}

std::string CellText(const InsightCell& cell) {
    switch (cell.kind) {
        case InsightCell::Kind::Number:
            return std::to_string(cell.number);
        case InsightCell::Kind::Text:
            return cell.text;
        case InsightCell::Kind::LogText:
            return Cp932ToUtf8(cell.log);
    }
    return {};
}

void AppendTop(const InsightTable& table, std::string& out) {
    out += "[";
    out += table.title;
    out += " 上位" + std::to_string(kTopRows) + "]\n";
    if (table.rows == 0) out += "  ありません\n";
    for (std::size_t r = 0; r < std::min(table.rows, kTopRows); ++r) {
        out += r + 1 < 10 ? "   " : "  ";
        out += std::to_string(r + 1) + ". ";
        AppendPrintable(CellText(table.cell(r, 0)), out);
        for (std::size_t c = 1; c < table.columns.size(); ++c) {
            out += "  ";
            out += table.columns[c].caption;
            out += ' ';
            AppendPrintable(CellText(table.cell(r, c)), out);
        }
        out += '\n';
    }
}

}  // namespace

std::string InsightSummaryText(const Insight& insight) {
    std::string out = "[アクセス解析]\n";
    const InsightTable totals = InsightTotalsTable(insight);
    for (std::size_t r = 0; r < totals.rows; ++r) {
        const std::string value = CellText(totals.cell(r, 1));
        out += "  " + CellText(totals.cell(r, 0)) + "  " + (value.empty() ? "-" : value) + "\n";
    }
    for (const InsightTable& table : InsightTablesOf(insight)) {
        const std::string_view key = table.key;
        if (key == "pages" || key == "referring_sites" || key == "search_phrases" ||
            key == "devices" || key == "robots")
            AppendTop(table, out);
    }
    return out;
}

}  // namespace pomurina
