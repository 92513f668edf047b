#include "ReadableSummary.h"

#include <algorithm>
#include <string_view>

#include "formats/LogFormat.h"
#include "report/InsightSummary.h"
#include "report/ReportContents.h"
#include "text/Cp932.h"
#include "window/HourBars.h"
#include "window/TransferUnits.h"

namespace pomurina {
namespace {

std::string CountUtf8(FieldId field, const Summary& summary) {
    return Cp932ToUtf8(CountText(field, &summary));
}

// One group box of the summary tab: its caption and its labelled fields.
void AppendGroup(std::string& out, const Summary& summary, const SummaryBox& box) {
    out += "[";
    out += box.caption;
    out += "]\n";
    for (const SummaryRow& row : box.rows) {
        out += "  ";
        out += row.label;
        out += "  ";
        out += CountUtf8(row.field, summary);
        out += "\n";
    }
}

void AppendGraph(std::string& out, const std::array<HourBar, 24>& bars, const char* caption) {
    out += caption;
    out += "\n";
    // The graph's own order: from three o'clock down to two o'clock; one
    // character for every 6 pixels of the 282-pixel scale.
    for (int k = 0; k < 24; ++k) {
        const int hour = RowHour(k);
        const HourBar& bar = bars[static_cast<std::size_t>(hour)];
        char label[8];
        std::snprintf(label, sizeof label, "%2d ", hour);
        out += label;
        out += "|";
        out.append(static_cast<std::size_t>(bar.length / 6), '#');
        out += " " + std::to_string(bar.count) + "\n";
    }
}

}  // namespace

std::string ReadableSummary(ResultWindow& w, const RunResult& run) {
    const Summary& summary = run.summary;
    std::string out;
    out += "ファイル  " + Cp932ToUtf8(w.GetField(FieldId::LogName).Text()) + "\n";
    // The formats, in the order of the logs, only when a log was converted.
    if (std::any_of(run.formats.begin(), run.formats.end(), IsConverted)) {
        out += "形式    ";
        for (std::size_t i = 0; i < run.formats.size(); ++i)
            out += (i > 0 ? ", " : "") + std::string(LogFormatName(run.formats[i]));
        out += "\n";
    }
    for (const SummaryBox& box : kSummaryBoxes) AppendGroup(out, summary, box);
    out += "[解析]\n";
    out += "  favicon IE-総数  " + CountUtf8(FieldId::FaviconMsie, summary) + "-" +
           CountUtf8(FieldId::FaviconAll, summary) + "\n";
    out += "  要求/ホスト  " + CountUtf8(FieldId::RequestsPerHost, summary) + "\n";
    const ShownTransfer transfer = TransferAsShown(w);
    out += "  転送量  " + Cp932ToUtf8(transfer.text);
    if (const char* unit = UnitName(transfer.unit)) out += std::string(" ") + unit;
    out += "\n\n";
    for (const ReportGraph& graph : kReportGraphs)
        AppendGraph(out, ComputeHourBars(summary.*graph.hours, summary.connections.total),
                    graph.caption);
    if (run.insight) out += "\n" + InsightSummaryText(*run.insight);
    return out;
}

}  // namespace pomurina
