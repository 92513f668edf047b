#include "window/PaneLines.h"

#include <algorithm>

namespace pomurina {

void PaneLines::Clear() {
    m_chunks.clear();
    Restart();
}

void PaneLines::ReplaceAll(SharedLineSource source) {
    m_chunks.clear();
    const std::size_t count = source->Count();
    if (count > 0) m_chunks.push_back({std::move(source), nullptr, 0, count});
    Restart();
}

void PaneLines::Append(std::string_view line) {
    if (!m_chunks.empty()) {
        Chunk& last = m_chunks.back();
        if (last.owned && last.first + last.count == last.owned->Count()) {
            last.owned->Add(line);
            ++last.count;
            ++m_count;
            return;
        }
    }
    NewOwnedChunk(m_chunks.size(), line);
}

void PaneLines::AppendRange(const SharedLineSource& source, std::size_t first, std::size_t count) {
    if (count == 0) return;
    m_count += count;
    if (!m_chunks.empty()) {
        Chunk& last = m_chunks.back();
        if (last.source == source && last.first + last.count == first) {
            last.count += count;
            return;
        }
    }
    m_starts.push_back(m_count - count);
    m_chunks.push_back({source, nullptr, first, count});
}

void PaneLines::Insert(std::size_t index, std::string_view line) {
    if (index >= m_count) {
        Append(line);
        return;
    }
    const auto [c, within] = Locate(index);
    if (within == 0) {
        // At a chunk boundary: extend the previous chunk when it is the pane's own.
        if (c > 0) {
            Chunk& before = m_chunks[c - 1];
            if (before.owned && before.first + before.count == before.owned->Count()) {
                before.owned->Add(line);
                ++before.count;
                ++m_count;
                for (std::size_t k = c; k < m_starts.size(); ++k) ++m_starts[k];
                return;
            }
        }
        NewOwnedChunk(c, line);
        return;
    }
    // Inside a chunk: split it around the new line.
    Chunk tail = m_chunks[c];
    tail.first += within;
    tail.count -= within;
    m_chunks[c].count = within;
    m_chunks.insert(m_chunks.begin() + static_cast<std::ptrdiff_t>(c) + 1, tail);
    Restart();
    NewOwnedChunk(c + 1, line);
}

std::string_view PaneLines::Line(std::size_t index, std::string& scratch) const {
    const auto [c, within] = Locate(index);
    const Chunk& chunk = m_chunks[c];
    return chunk.source->Line(chunk.first + within, scratch);
}

std::size_t PaneLines::Length(std::size_t index) const {
    const auto [c, within] = Locate(index);
    const Chunk& chunk = m_chunks[c];
    return chunk.source->Length(chunk.first + within);
}

void PaneLines::AppendLines(std::size_t first, std::size_t count, std::string& out) const {
    if (count == 0) return;
    auto [c, within] = Locate(first);
    while (count > 0) {
        const Chunk& chunk = m_chunks[c];
        const std::size_t here = std::min(count, chunk.count - within);
        chunk.source->AppendLines(chunk.first + within, here, out);
        count -= here;
        ++c;
        within = 0;
    }
}

std::vector<std::string> PaneLines::ToVector() const {
    std::vector<std::string> lines;
    lines.reserve(m_count);
    std::string scratch;
    for (const Chunk& chunk : m_chunks)
        for (std::size_t i = 0; i < chunk.count; ++i)
            lines.emplace_back(chunk.source->Line(chunk.first + i, scratch));
    return lines;
}

std::pair<std::size_t, std::size_t> PaneLines::Locate(std::size_t index) const {
    const auto it = std::upper_bound(m_starts.begin(), m_starts.end(), index);
    const auto c = static_cast<std::size_t>(it - m_starts.begin()) - 1;
    return {c, index - m_starts[c]};
}

void PaneLines::NewOwnedChunk(std::size_t at, std::string_view line) {
    auto owned = std::make_shared<OwnedLines>();
    owned->Add(line);
    m_chunks.insert(m_chunks.begin() + static_cast<std::ptrdiff_t>(at), Chunk{owned, owned, 0, 1});
    Restart();
}

void PaneLines::Restart() {
    m_starts.clear();
    m_count = 0;
    for (const Chunk& chunk : m_chunks) {
        m_starts.push_back(m_count);
        m_count += chunk.count;
    }
}

}  // namespace pomurina
