#include "ReadableSummary.h"

#include <string_view>

#include "window/HourBars.h"
#include "window/TransferUnits.h"
#include "report/ReportContents.h"
#include "text/Cp932.h"

namespace pomurina {
namespace {

std::string FieldText(ResultWindow& w, int number) {
    return Cp932ToUtf8(w.GetField(number).Text());
}

// One group box of the summary tab: its caption and its labelled fields.
void AppendGroup(std::string& out, ResultWindow& w, const SummaryBox& box) {
    out += "[";
    out += box.caption;
    out += "]\n";
    for (const SummaryRow& row : box.rows) {
        out += "  ";
        out += row.label;
        out += "  ";
        out += FieldText(w, row.field);
        out += "\n";
    }
}

void AppendGraph(std::string& out, const HourGraph& graph, const char* caption) {
    out += caption;
    out += "\n";
    if (graph.GetState() != HourGraph::State::Bars) return;
    // The graph's own order: from three o'clock down to two o'clock; one
    // character for every 6 pixels of the 282-pixel scale.
    for (int k = 0; k < 24; ++k) {
        const int hour = RowHour(k);
        const HourBar& bar = graph.Bars()[static_cast<std::size_t>(hour)];
        char label[8];
        std::snprintf(label, sizeof label, "%2d ", hour);
        out += label;
        out += "|";
        out.append(static_cast<std::size_t>(bar.length / 6), '#');
        out += " " + std::to_string(bar.count) + "\n";
    }
}

}  // namespace

std::string ReadableSummary(ResultWindow& w) {
    std::string out;
    out += "ファイル  " + FieldText(w, 35) + "\n";
    for (const SummaryBox& box : kSummaryBoxes) AppendGroup(out, w, box);
    out += "[解析]\n";
    out += "  favicon IE-総数  " + FieldText(w, kFaviconMsieField) + "-" +
           FieldText(w, kFaviconField) + "\n";
    out += "  要求/ホスト  " + FieldText(w, kPerHostField) + "\n";
    out += "  転送量  " + FieldText(w, kTransferField);
    if (const char* unit = UnitName(w.LastByteUnit())) out += std::string(" ") + unit;
    out += "\n\n";
    for (const ReportGraph& graph : kReportGraphs)
        AppendGraph(out, w.Graph(graph.graph), graph.caption);
    return out;
}

}  // namespace pomurina
