#include "analysis/StateDump.h"

#include <string_view>

namespace pomurina {
namespace {

// Collects output in a large buffer and hands it to the stream in big writes.
class DumpWriter {
public:
    explicit DumpWriter(std::FILE* out) : m_out(out) { m_buffer.reserve(kFlushAt + 65536); }
    ~DumpWriter() { Flush(); }
    DumpWriter(const DumpWriter&) = delete;
    DumpWriter& operator=(const DumpWriter&) = delete;

    DumpWriter& operator<<(std::string_view text) {
        m_buffer.append(text);
        if (m_buffer.size() >= kFlushAt) Flush();
        return *this;
    }
    DumpWriter& operator<<(long long value) {
        return *this << std::string_view(std::to_string(value));
    }
    bool Flush() {
        if (!m_buffer.empty() &&
            std::fwrite(m_buffer.data(), 1, m_buffer.size(), m_out) != m_buffer.size())
            m_ok = false;
        m_buffer.clear();
        return m_ok;
    }

private:
    static constexpr std::size_t kFlushAt = 1 << 20;
    std::FILE* m_out;
    std::string m_buffer;
    bool m_ok = true;
};

std::string GraphState(const HourGraph& graph) {
    switch (graph.GetState()) {
        case HourGraph::State::None:
            return "none";
        case HourGraph::State::Grid:
            return "grid";
        case HourGraph::State::Bars:
            break;
    }
    std::string text;
    for (const HourBar& bar : graph.Bars()) {
        if (!text.empty()) text += ' ';
        text += std::to_string(bar.count) + "/" + std::to_string(bar.length);
    }
    return text;
}

}  // namespace

bool WriteStateDump(ResultWindow& w, const std::optional<std::string>& error, std::FILE* out) {
    DumpWriter dump(out);
    dump << "pomurina-dump 1\n";
    for (int number = 1; number <= kFieldCount; ++number)
        dump << "field Edit" << number << " " << w.GetField(number).Text() << "\n";
    dump << "unit " << w.ByteName().ItemIndex() << " " << w.LastByteUnit() << "\n";
    std::string scratch;
    for (int p = 0; p < kPaneCount; ++p) {
        const auto id = static_cast<PaneId>(p);
        const PaneLines& lines = w.GetPane(id).Lines();
        dump << "pane " << PaneName(id) << " " << static_cast<long long>(lines.Count()) << "\n";
        for (std::size_t i = 0; i < lines.Count(); ++i) dump << lines.Line(i, scratch) << "\n";
    }
    for (int graph = 1; graph <= 3; ++graph)
        dump << "graph Image" << graph << " " << GraphState(w.Graph(graph)) << "\n";
    ProgressDisplay& progress = w.Progress();
    dump << "progressbar " << progress.Position() << " " << progress.Maximum() << "\n";
    dump << "progresswindow " << (progress.IsShown() ? "shown" : "hidden") << "\n";
    const auto messages = progress.MessageLines();
    dump << "progress " << static_cast<long long>(messages.size()) << "\n";
    for (const auto& line : messages) dump << line << "\n";
    if (error) dump << "error " << *error << "\n";
    dump << "end\n";
    return dump.Flush() && std::fflush(out) == 0;
}

}  // namespace pomurina
