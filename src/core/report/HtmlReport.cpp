#include "report/HtmlReport.h"

#include <algorithm>
#include <cstdio>
#include <initializer_list>
#include <string_view>

#include "Errors.h"
#include "formats/LogFormat.h"
#include "report/HourSvg.h"
#include "report/HtmlText.h"
#include "report/InsightHtml.h"
#include "report/ReportTime.h"
#include "text/Cp932.h"
#include "text/Utf8Text.h"
#include "urlconv/UrlDecoding.h"
#include "window/TransferUnits.h"

namespace pomurina {
namespace {

// Japanese faces first, so that no reader sees empty boxes for kana and kanji.
constexpr std::string_view kStyle = R"(
:root{--pink:#ff88d0;--line:#d8d8de}
*{box-sizing:border-box}
body{margin:0;background:#f3f3f6;color:#222;line-height:1.6;font-size:15px;
font-family:"Hiragino Kaku Gothic ProN","Hiragino Sans","Yu Gothic UI","Yu Gothic",Meiryo,"Noto Sans CJK JP","Noto Sans JP","IPAexGothic","IPAPGothic","IPAGothic",sans-serif}
main{max-width:980px;margin:0 auto;padding:12px 16px 32px}
h1{font-size:1.45em;margin:.4em 0}
h2{font-size:1.2em;margin:0 0 .6em;padding-bottom:.2em;border-bottom:2px solid var(--pink)}
h3{font-size:1em;margin:1.2em 0 .3em}
dl.meta{display:grid;grid-template-columns:max-content 1fr;gap:.1em 1em;margin:0}
dl.meta dt{color:#555}dl.meta dd{margin:0;overflow-wrap:anywhere}
nav{margin:.8em 0;display:flex;flex-wrap:wrap;gap:.4em}
nav a{padding:.15em .7em;border:1px solid var(--line);border-radius:1em;background:#fff;color:#333;text-decoration:none}
section.tab{background:#fff;border:1px solid var(--line);border-radius:6px;padding:14px 18px;margin:16px 0}
.boxes{display:flex;flex-wrap:wrap;gap:12px}
.box{flex:1 1 170px;border:1px solid var(--line);border-radius:4px;padding:6px 10px}
.box h3{margin:0 0 .2em;font-size:.95em;color:#555}
.box table{width:100%;border-collapse:collapse}
.box th{text-align:left;font-weight:normal;padding:1px 8px 1px 0;white-space:nowrap}
.box td{text-align:right;font-variant-numeric:tabular-nums;padding:1px 0;overflow-wrap:anywhere}
.value{white-space:nowrap}
.unit,.aside{color:#666;font-size:.9em}
figure{margin:.4em 0 1em}figcaption{font-size:.95em;color:#444}
svg.graph{display:block;width:100%;max-width:500px;height:auto;font-size:13px}
svg .bar{fill:var(--pink)}svg .axis{stroke:#000;stroke-width:1}
svg .tick{stroke:#999;stroke-width:.8;stroke-dasharray:1 2}svg .mark{fill:#555}
svg .cell{fill:#fff}
.count{color:#666;font-weight:normal;font-size:.9em}
.note{color:#666;font-size:.85em;margin:.2em 0;overflow-wrap:anywhere}
ol.lines{margin:.2em 0;padding-left:3.6em;font-size:13px;line-height:1.45;overflow-wrap:anywhere;
font-family:ui-monospace,Menlo,Consolas,"DejaVu Sans Mono","Noto Sans Mono CJK JP","IPAGothic","MS Gothic",monospace}
ol.lines li:nth-child(even){background:#f7f7fa}
.decoded{display:block;color:#0a6b3d}
.more,.none{color:#666;margin:.2em 0 .6em}
.error{background:#fff0f0;border:1px solid #d33;border-radius:6px;padding:.6em 1em}
footer{color:#777;font-size:.85em;margin-top:2em}
@media (max-width:600px){body{font-size:14px}main{padding:8px}section.tab{padding:10px;margin:10px 0}
ol.lines{padding-left:2.6em;font-size:12px}}
@media print{body{background:#fff}nav{display:none}section.tab{border:0;padding:0}
li{break-inside:avoid}svg .bar{print-color-adjust:exact;-webkit-print-color-adjust:exact}}
)";

const ReportPane& PaneInfo(PaneId id) {
    for (const ReportPane& pane : kReportPanes)
        if (pane.id == id) return pane;
    return kReportPanes.back();
}

// A number of the summary as its field shows it.
void AppendCount(FieldId field, const Summary* summary, std::string_view key, std::string& b) {
    b += "<td data-key=\"";
    b += key;
    b += "\">";
    AppendHtmlSjis(CountText(field, summary), b);
    b += "</td>";
}

void WriteHead(const ReportSource& source, std::string& b) {
    b += "<!DOCTYPE html>\n<html lang=\"ja\">\n<head>\n<meta charset=\"utf-8\">\n"
         "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
         "<meta name=\"generator\" content=\"ポムリナ\">\n<title>アクセスログ解析レポート";
    for (const std::string& file : source.files) {
        std::string name;
        AppendValidUtf8(file.substr(file.find_last_of('/') + 1), name);
        b += " – ";
        AppendHtml(name, b);
    }
    b += "</title>\n<style>";
    b += kStyle;
    b += InsightHtmlStyle();
    b += "</style>\n</head>\n<body>\n<main>\n<header>\n<h1>アクセスログ解析レポート</h1>\n"
         "<dl class=\"meta\">\n";
    for (std::size_t i = 0; i < source.files.size(); ++i) {
        std::string path;
        AppendValidUtf8(source.files[i], path);
        b += "<dt>ファイル</dt><dd class=\"file\">";
        AppendHtml(path, b);
        // A log read as it is says nothing more.
        const std::vector<LogFormat>* formats = source.run ? &source.run->formats : nullptr;
        if (formats && i < formats->size() && IsConverted((*formats)[i])) {
            b += " (";
            b += LogFormatName((*formats)[i]);
            b += ')';
        }
        b += "</dd>\n";
    }
    b += "<dt>作成日時</dt><dd><time datetime=\"" + IsoLocalTime(source.created) + "\">" +
         JapaneseLocalTime(source.created) + "</time></dd>\n</dl>\n</header>\n";
    b += "<nav><a href=\"#count\">カウント</a><a href=\"#connections\">接続</a>"
         "<a href=\"#get\">要求ログ</a><a href=\"#post\">受信ログ</a>"
         "<a href=\"#referrers\">リファラ</a><a href=\"#robots\">bot</a>";
    b += kInsightHtmlLink;
    b += "</nav>\n";
    if (source.error) {
        b += "<p class=\"error\" role=\"alert\">解析は途中で止まりました: ";
        AppendHtmlSjis(*source.error, b);
        b += "<br>以下はそこまでの結果です。</p>\n";
    }
}

// The tab "カウント": its four boxes as the window lays them out.
void WriteSummary(const Summary* summary, const ShownTransfer& transfer, std::string& b) {
    b += "<section class=\"tab\" id=\"count\">\n<h2>カウント</h2>\n<div class=\"boxes\">\n";
    for (const SummaryBox& box : kSummaryBoxes) {
        b += "<div class=\"box\"><h3>";
        b += box.caption;
        b += "</h3><table>\n";
        for (const SummaryRow& row : box.rows) {
            b += "<tr><th>";
            b += row.label;
            b += "</th>";
            AppendCount(row.field, summary, std::string(box.key) + "." + row.key, b);
            b += "</tr>\n";
        }
        b += "</table></div>\n";
    }
    b += "<div class=\"box\"><h3>解析</h3><table>\n<tr><th>favicon IE-総数</th>";
    b += "<td class=\"value\"><span data-key=\"favicon.msie\">";
    AppendHtmlSjis(CountText(FieldId::FaviconMsie, summary), b);
    b += "</span>-<span data-key=\"favicon.total\">";
    AppendHtmlSjis(CountText(FieldId::FaviconAll, summary), b);
    b += "</span></td></tr>\n<tr><th>要求/ホスト</th>";
    AppendCount(FieldId::RequestsPerHost, summary, "requests_per_host", b);
    b += "</tr>\n<tr><th>転送量</th><td><span class=\"value\"><span data-key=\"transfer.shown\">";
    AppendHtmlSjis(transfer.text, b);
    b += "</span>";
    if (const char* name = UnitName(transfer.unit)) {
        b += " <span class=\"unit\">";
        b += name;
        b += "</span>";
    }
    b += "</span>";
    if (summary && transfer.unit != 0) {
        char text[48];
        std::snprintf(text, sizeof text, "%.0f", summary->transferBytes);
        b += "<br><span class=\"aside\">(";
        b += text;
        b += " byte)</span>";
    }
    b += "</td></tr>\n</table></div>\n</div>\n</section>\n";
}

void WriteGraph(const Summary* summary, const ReportGraph& graph, std::string& b) {
    b += "<figure>\n<figcaption>";
    b += graph.caption;
    b += "</figcaption>\n";
    if (summary) {
        const std::int64_t total = summary->connections.total;
        AppendHourSvg(ComputeHourBars(summary->*graph.hours, total), total, graph.caption,
                      GraphNumber(graph.graph), b);
    } else
        b += "<p class=\"none\">グラフはありません (解析が最後まで終わっていません)</p>\n";
    b += "</figure>\n";
}

// The decoded form of a line with percent escapes, when it reads differently.
std::string DecodedText(std::string_view line) {
    if (line.find('%') == std::string_view::npos) return {};
    try {
        std::string decoded = URLDecode(line);
        return decoded == line ? std::string() : decoded;
    } catch (const Error&) {
        return {};  // not percent-encoded after all
    }
}

void WritePane(ResultWindow& w, PaneId id, bool decode, ReportStream& out) {
    std::string& b = out.Buffer();
    const ReportPane& pane = PaneInfo(id);
    const PaneLines& lines = w.GetPane(id).Lines();
    const std::size_t header = HeaderLines(w, id);
    const std::size_t count = lines.Count() - header;
    b += "<section class=\"pane\" id=\"p-";
    b += pane.key;
    b += "\" data-pane=\"";
    b += pane.key;
    b += "\" data-lines=\"" + std::to_string(count) + "\">\n<h3>";
    b += pane.title;
    b += " <span class=\"count\">" + std::to_string(count) + "行</span></h3>\n";
    std::string scratch;
    if (header > 1) {
        // The pane's own explanation (and reference list), without its rule.
        b += "<p class=\"note\">";
        const std::size_t shown = std::min<std::size_t>(header - 1, 30);
        for (std::size_t i = 0; i < shown; ++i) {
            if (i > 0) b += ' ';
            AppendHtmlSjis(FirstBytes(lines.Line(i, scratch), kHtmlLineBytes), b);
        }
        if (shown < header - 1) b += " …";
        b += "</p>\n";
    }
    if (count == 0) {
        b += "<p class=\"none\">ありません</p>\n</section>\n";
        return;
    }
    b += "<ol class=\"lines\">\n";
    const std::size_t shown = std::min(count, kHtmlListLines);
    for (std::size_t i = 0; i < shown; ++i) {
        const std::string_view line = lines.Line(header + i, scratch);
        const std::string_view head = FirstBytes(line, kHtmlLineBytes);
        b += "<li>";
        AppendHtmlSjis(head, b);
        if (head.size() < line.size()) b += "…";
        if (decode) {
            const std::string decoded = DecodedText(line);
            if (!decoded.empty()) {
                const std::string_view decodedHead = FirstBytes(decoded, kHtmlLineBytes);
                b += "<span class=\"decoded\">→ ";
                AppendHtmlSjis(decodedHead, b);
                if (decodedHead.size() < decoded.size()) b += "…";
                b += "</span>";
            }
        }
        b += "</li>\n";
        out.Breathe();
    }
    b += "</ol>\n";
    if (shown < count) b += "<p class=\"more\">… 他" + std::to_string(count - shown) + "行</p>\n";
    b += "</section>\n";
}

// One top tab of the window: its graph (if any) and its lists.
struct Tab {
    const char* id;
    const char* caption;
    const ReportGraph* graph;
    std::initializer_list<PaneId> panes;
};

}  // namespace

void WriteHtmlReport(ResultWindow& w, const ReportSource& source, ReportStream& out) {
    std::string& b = out.Buffer();
    const Summary* summary = ReportedSummary(source);
    WriteHead(source, b);
    WriteSummary(summary, TransferAsShown(w), b);
    static const Tab kTabs[] = {
        {"connections",
         "接続",
         &kReportGraphs[0],
         {PaneId::Memo8, PaneId::HOST404Memo, PaneId::HOST403Memo, PaneId::CheckDomeinMemo}},
        {"get",
         "要求ログ",
         &kReportGraphs[1],
         {PaneId::Memo7, PaneId::File404Memo, PaneId::File403Memo}},
        {"post",
         "受信ログ",
         &kReportGraphs[2],
         {PaneId::Memo6, PaneId::POST404Memo, PaneId::POST403Memo}},
        {"referrers", "リファラ", nullptr, {PaneId::ReferrerList}},
        {"robots", "bot", nullptr, {PaneId::RobotsLog}},
    };
    for (const Tab& tab : kTabs) {
        b += "<section class=\"tab\" id=\"";
        b += tab.id;
        b += "\">\n<h2>";
        b += tab.caption;
        b += "</h2>\n";
        if (tab.graph) WriteGraph(summary, *tab.graph, b);
        for (const PaneId pane : tab.panes) WritePane(w, pane, pane == PaneId::ReferrerList, out);
        b += "</section>\n";
    }
    WriteInsightHtml(ReportedInsight(source), out, InsightProblem(source));
    b += "<footer>ポムリナで作成。一覧はそれぞれ最初の " + std::to_string(kHtmlListLines) +
         " 行までを載せ、残りは「… 他N行」と数だけを示します。1 行は " +
         std::to_string(kHtmlLineBytes) + " バイトまでです。</footer>\n</main>\n</body>\n</html>\n";
}

}  // namespace pomurina
