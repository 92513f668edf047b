#include "report/InsightHtml.h"

#include <algorithm>

#include "report/DaySvg.h"
#include "report/HtmlReport.h"
#include "report/HtmlText.h"
#include "report/InsightTables.h"

namespace pomurina {
namespace {

constexpr std::string_view kStyle = R"(
table.rows{border-collapse:collapse;margin:.2em 0;font-size:14px;max-width:100%}
table.rows th,table.rows td{border-bottom:1px solid var(--line);padding:2px 10px 2px 0;text-align:left;vertical-align:top}
table.rows th{font-weight:normal;color:#555;white-space:nowrap}
table.rows td{overflow-wrap:anywhere}table.rows td.n{text-align:right;font-variant-numeric:tabular-nums;white-space:nowrap}
svg.days{max-width:100%}svg .hits{fill:var(--pink)}svg .pages{fill:#6a8fd8}svg .visitors{fill:#4aa57a}
)";

void AppendCell(const InsightCell& cell, std::string& b) {
    switch (cell.kind) {
        case InsightCell::Kind::Number:
            b += "<td class=\"n\">" + std::to_string(cell.number) + "</td>";
            return;
        case InsightCell::Kind::Text:
            b += "<td>";
            AppendHtml(cell.text, b);
            b += "</td>";
            return;
        case InsightCell::Kind::LogText: {
            const std::string_view head = FirstBytes(cell.log, kHtmlLineBytes);
            b += "<td>";
            AppendHtmlSjis(head, b);
            if (head.size() < cell.log.size()) b += "…";
            b += "</td>";
            return;
        }
    }
}

void WriteTable(const InsightTable& table, bool header, ReportStream& out) {
    std::string& b = out.Buffer();
    b += "<section class=\"insight\" id=\"i-";
    b += table.key;
    b += "\" data-table=\"";
    b += table.key;
    b += "\" data-rows=\"" + std::to_string(table.rows) + "\">\n<h3>";
    b += table.title;
    b += " <span class=\"count\">" + std::to_string(table.rows) + "行</span></h3>\n";
    if (table.rows == 0) {
        b += "<p class=\"none\">ありません</p>\n</section>\n";
        return;
    }
    b += "<table class=\"rows\">\n";
    if (header) {
        b += "<tr>";
        for (const InsightColumn& column : table.columns) {
            b += "<th>";
            b += column.caption;
            b += "</th>";
        }
        b += "</tr>\n";
    }
    const std::size_t shown = std::min(table.rows, kInsightRows);
    for (std::size_t r = 0; r < shown; ++r) {
        b += "<tr>";
        for (std::size_t c = 0; c < table.columns.size(); ++c) {
            const InsightCell cell = table.cell(r, c);
            if (!header && c == 0) {
                b += "<th>";
                AppendHtml(cell.text, b);
                b += "</th>";
            } else {
                AppendCell(cell, b);
            }
        }
        b += "</tr>\n";
        out.Breathe();
    }
    b += "</table>\n";
    if (shown < table.rows)
        b += "<p class=\"more\">… 他" + std::to_string(table.rows - shown) + "行</p>\n";
    b += "</section>\n";
}

}  // namespace

std::string_view InsightHtmlStyle() {
    return kStyle;
}

void WriteInsightHtml(const Insight* insight, ReportStream& out, const std::string* problem) {
    std::string& b = out.Buffer();
    b += "<section class=\"tab\" id=\"insight\">\n<h2>アクセス解析</h2>\n";
    if (!insight && problem) {
        b += "<p class=\"none\">";
        AppendHtmlSjis(*problem, b);
        b += "</p>\n</section>\n";
        return;
    }
    if (!insight) {
        b += "<p class=\"none\">解析が最後まで終わらなかったため、アクセス解析はありません</p>\n"
             "</section>\n";
        return;
    }
    WriteTable(InsightTotalsTable(*insight), false, out);
    b += "<figure>\n<figcaption>日別のヒット・ページ・訪問者</figcaption>\n";
    if (insight->days.empty())
        b += "<p class=\"none\">ありません</p>\n";
    else
        AppendDaySvg(insight->days, b);
    b += "</figure>\n";
    for (const InsightTable& table : InsightTablesOf(*insight)) WriteTable(table, true, out);
    WriteTable(VisitDurationsTable(*insight), true, out);
    b += "</section>\n";
}

}  // namespace pomurina
