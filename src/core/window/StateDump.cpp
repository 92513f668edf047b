#include "window/StateDump.h"

#include <algorithm>
#include <exception>
#include <mutex>
#include <string_view>
#include <vector>

#include "parallel/OrderedWork.h"

namespace pomurina {
namespace {

// The dump as pieces in order: text of its own, then a slice of a pane's
// lines.  The slices are composed on every core and written in order.
class DumpPieces {
public:
    DumpPieces() : m_pieces(1) {}

    DumpPieces& operator<<(std::string_view text) {
        m_pieces.back().text.append(text);
        return *this;
    }
    DumpPieces& operator<<(long long value) {
        return *this << std::string_view(std::to_string(value));
    }
    void Lines(const PaneLines& lines) {
        for (std::size_t first = 0; first < lines.Count(); first += kSliceLines) {
            Piece& piece = m_pieces.back();
            piece.lines = &lines;
            piece.first = first;
            piece.count = std::min(kSliceLines, lines.Count() - first);
            m_pieces.emplace_back();
        }
    }

    // Writes every piece; false when out could not take them all.
    bool WriteTo(std::FILE* out) {
        bool ok = true;
        const auto compose = [&](std::size_t k) {
            Piece& piece = m_pieces[k];
            try {
                if (piece.lines) {
                    piece.composed = TakeBuffer();
                    piece.lines->AppendLines(piece.first, piece.count, piece.composed);
                }
            } catch (...) {
                piece.error = std::current_exception();
            }
            return true;
        };
        const auto write = [&](std::size_t k) {
            Piece& piece = m_pieces[k];
            if (piece.error) std::rethrow_exception(piece.error);
            for (const std::string* text : {&piece.text, &piece.composed})
                if (!text->empty() &&
                    std::fwrite(text->data(), 1, text->size(), out) != text->size())
                    ok = false;
            GiveBack(std::move(piece.composed));
            piece = Piece{};
        };
        // A slice or two ahead per core keep every core busy and the memory small.
        RunOrdered({m_pieces.size(), 0, CoreCount() + 2}, compose, write);
        return ok;
    }

private:
    // The slices' buffers are used again and again: fresh memory for every
    // slice would cost a page fault every few kilobytes.
    std::string TakeBuffer() {
        const std::lock_guard lock(m_spareLock);
        if (m_spare.empty()) return {};
        std::string buffer = std::move(m_spare.back());
        m_spare.pop_back();
        buffer.clear();
        return buffer;
    }
    void GiveBack(std::string buffer) {
        const std::lock_guard lock(m_spareLock);
        m_spare.push_back(std::move(buffer));
    }

    static constexpr std::size_t kSliceLines = 4096;
    struct Piece {
        std::string text;
        const PaneLines* lines = nullptr;
        std::size_t first = 0, count = 0;
        std::string composed;
        std::exception_ptr error;
    };
    std::vector<Piece> m_pieces;
    std::mutex m_spareLock;
    std::vector<std::string> m_spare;
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
    DumpPieces dump;
    dump << "pomurina-dump 1\n";
    for (int f = 0; f < kFieldCount; ++f)
        dump << "field " << FieldName(FieldAt(f)) << " " << w.GetField(FieldAt(f)).Text() << "\n";
    dump << "unit " << w.ByteName().ItemIndex() << " " << w.LastByteUnit() << "\n";
    for (int p = 0; p < kPaneCount; ++p) {
        const auto id = static_cast<PaneId>(p);
        const PaneLines& lines = w.GetPane(id).Lines();
        dump << "pane " << PaneName(id) << " " << static_cast<long long>(lines.Count()) << "\n";
        dump.Lines(lines);
    }
    for (int g = 0; g < kGraphCount; ++g)
        dump << "graph Image" << GraphNumber(GraphAt(g)) << " " << GraphState(w.Graph(GraphAt(g)))
             << "\n";
    ProgressDisplay& progress = w.Progress();
    dump << "progressbar " << progress.Position() << " " << progress.Maximum() << "\n";
    dump << "progresswindow " << (progress.IsShown() ? "shown" : "hidden") << "\n";
    const auto messages = progress.MessageLines();
    dump << "progress " << static_cast<long long>(messages.size()) << "\n";
    for (const auto& line : messages) dump << line << "\n";
    if (error) dump << "error " << *error << "\n";
    dump << "end\n";
    return dump.WriteTo(out) && std::fflush(out) == 0;
}

}  // namespace pomurina
