#pragma once
// The lines of a result pane: header lines of its own followed or surrounded
// by collections it shares with the run that made them.  A pane of a million
// lines holds a few chunks, not a million strings.
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "text/LineSource.h"

namespace pomurina {

class PaneLines {
public:
    void Clear();
    // The pane's lines become exactly the source's lines, shared, not copied.
    void ReplaceAll(SharedLineSource source);
    void Append(std::string_view line);
    // Appends line index of a shared source (consecutive lines join one chunk).
    void AppendFrom(const SharedLineSource& source, std::size_t index) {
        AppendRange(source, index, 1);
    }
    // Appends lines first .. first + count - 1 of a shared source.
    void AppendRange(const SharedLineSource& source, std::size_t first, std::size_t count);
    // Inserts before line index (0-based); index == Count() appends.
    void Insert(std::size_t index, std::string_view line);

    std::size_t Count() const { return m_count; }
    std::string_view Line(std::size_t index, std::string& scratch) const;
    std::size_t Length(std::size_t index) const;
    // Appends lines first .. first + count - 1, each followed by a line feed.
    void AppendLines(std::size_t first, std::size_t count, std::string& out) const;
    // A copy of every line (for small panes and tests).
    std::vector<std::string> ToVector() const;

private:
    struct Chunk {
        SharedLineSource source;
        std::shared_ptr<OwnedLines> owned;  // set when the pane may add to source
        std::size_t first;
        std::size_t count;
    };
    // The chunk that holds line index, and the index within the chunk.
    std::pair<std::size_t, std::size_t> Locate(std::size_t index) const;
    void NewOwnedChunk(std::size_t at, std::string_view line);
    void Restart();

    std::vector<Chunk> m_chunks;
    std::vector<std::size_t> m_starts;  // first pane line of every chunk
    std::size_t m_count = 0;
};

}  // namespace pomurina
