#include "ReadableSummary.h"

#include <string_view>

#include "text/Cp932.h"

namespace pomurina {
namespace {

constexpr const char* kUnitNames[] = {"byte", "Kb", "Mb", "Gb"};

std::string FieldText(ResultWindow& w, int number) {
    return Cp932ToUtf8(w.GetField(number).Text());
}

// One group box of the summary tab: its caption and its labelled fields.
void AppendGroup(std::string& out, ResultWindow& w, const char* caption,
                 std::initializer_list<std::pair<const char*, int>> rows) {
    out += "[";
    out += caption;
    out += "]\n";
    for (const auto& [label, field] : rows) {
        out += "  ";
        out += label;
        out += "  ";
        out += FieldText(w, field);
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
        const int hour = (k + 3) % 24;
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
    AppendGroup(out, w, "接続",
                {{"総接続数", 1}, {"ホスト数", 2}, {"200", 22}, {"403", 23}, {"404", 24}});
    AppendGroup(out, w, "要求(GET)",
                {{"要求数", 3}, {"対象数", 9}, {"200", 27}, {"403", 26}, {"404", 25}});
    AppendGroup(out, w, "受信(POST)",
                {{"受信数", 4}, {"対象数", 10}, {"200", 30}, {"403", 29}, {"404", 28}});
    out += "[解析]\n";
    out += "  favicon IE-総数  " + FieldText(w, 31) + "-" + FieldText(w, 33) + "\n";
    out += "  要求/ホスト  " + FieldText(w, 32) + "\n";
    const int unit = w.LastByteUnit();
    out += "  転送量  " + FieldText(w, 34);
    if (unit >= 0 && unit <= 3) out += std::string(" ") + kUnitNames[unit];
    out += "\n\n";
    AppendGraph(out, w.Graph(1), "時間別の接続数・総接続数から見た比率");
    AppendGraph(out, w.Graph(2), "時間別の要求数・総接続数から見た比率");
    AppendGraph(out, w.Graph(3), "時間別の受信数・総接続数から見た比率");
    return out;
}

}  // namespace pomurina
