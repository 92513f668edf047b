#include "analysis/HostExtractLines.h"

#include "analysis/LineFields.h"

namespace pomurina {
namespace {

struct Pieces {
    std::string_view time, host, path;
};

Pieces PiecesOf(std::string_view line) {
    return {TimeFieldOf(line), HostOf(line), RequestPathOf(line)};
}

}  // namespace

HostExtractLines::HostExtractLines(std::shared_ptr<const TextLines> lines, std::size_t firstLine)
    : m_lines(std::move(lines)), m_first(firstLine) {}

void HostExtractLines::Compose(std::string_view line, std::string& out) {
    const Pieces p = PiecesOf(line);
    out += p.time;
    out += ' ';
    out += p.host;
    out += ' ';
    out += p.path;
}

std::string_view HostExtractLines::Line(std::size_t index, std::string& scratch) const {
    if (Composed()) return ComposedAt(index);
    scratch.clear();
    Compose(m_lines->At(m_first + index), scratch);
    return scratch;
}

std::size_t HostExtractLines::Length(std::size_t index) const {
    if (Composed()) return ComposedAt(index).size();
    const Pieces p = PiecesOf(m_lines->At(m_first + index));
    return p.time.size() + p.host.size() + p.path.size() + 2;
}

void HostExtractLines::Join(const HostExtractLines& later) {
    for (const auto& line : later.m_longest.Kept())
        m_longest.Offer(m_count + line.index, line.length);
    if (later.m_lines != m_lines) {
        // An empty extract has no ends kept: a first entry always has one.
        for (std::size_t i = 0; i < later.m_count; ++i) {
            Compose(later.m_lines->At(later.m_first + i), m_composed);
            m_composedEnds.push_back(m_composed.size());
        }
    }
    m_count += later.m_count;
}

std::vector<std::size_t> HostExtractLines::LongestLines(std::size_t count) const {
    if (count > m_longest.Size()) return LineSource::LongestLines(count);
    std::vector<std::size_t> indexes;
    for (const auto& line : m_longest.Kept())
        if (indexes.size() < count) indexes.push_back(line.index);
    return indexes;
}

void HostExtractLines::AppendLines(std::size_t first, std::size_t count, std::string& out) const {
    for (std::size_t i = first; i < first + count; ++i) {
        if (Composed()) {
            out += ComposedAt(i);
            out += '\n';
            continue;
        }
        Compose(m_lines->At(m_first + i), out);
        out += '\n';
    }
}

}  // namespace pomurina
