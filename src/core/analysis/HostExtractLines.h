#pragma once
// The host extract of a run: one entry for every line examined, its time
// stamp, host and request path joined by blanks.  The entries are composed
// from the log lines whenever they are asked for, not stored: a log of
// millions of lines would otherwise hold millions of them.  An extract over
// lines that are not kept (a streamed run's) keeps the entries it is joined
// composed instead.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "text/LineSource.h"
#include "text/TextLines.h"

namespace pomurina {

class HostExtractLines final : public LineSource {
public:
    // The extract of the lines from firstLine on; empty at first.
    HostExtractLines(std::shared_ptr<const TextLines> lines, std::size_t firstLine);

    // The next line has its entry, length bytes long.
    void Add(std::size_t length) { m_longest.Offer(m_count++, length); }
    // The entries of the lines that later holds, which follow this one's
    // (composed now when later's lines are not this one's).
    void Join(const HostExtractLines& later);
    // The bytes the composed entries take.
    std::size_t Footprint() const {
        return m_composed.capacity() + m_composedEnds.capacity() * sizeof(std::uint64_t);
    }

    std::size_t Count() const override { return m_count; }
    std::string_view Line(std::size_t index, std::string& scratch) const override;
    std::size_t Length(std::size_t index) const override;
    void AppendLines(std::size_t first, std::size_t count, std::string& out) const override;
    // Kept as the entries are added: no line is taken apart again for it.
    std::vector<std::size_t> LongestLines(std::size_t count) const override;

    // The entry of one log line.
    static void Compose(std::string_view line, std::string& out);

private:
    std::shared_ptr<const TextLines> m_lines;
    std::size_t m_first;
    std::size_t m_count = 0;
    LongestKept m_longest{16};
    // Entries composed when joined, one after another, and where each ends.
    std::string m_composed;
    std::vector<std::uint64_t> m_composedEnds;
    bool Composed() const { return !m_composedEnds.empty(); }
    std::string_view ComposedAt(std::size_t index) const {
        const std::uint64_t begin = index == 0 ? 0 : m_composedEnds[index - 1];
        return std::string_view(m_composed).substr(begin, m_composedEnds[index] - begin);
    }
};

}  // namespace pomurina
