#pragma once
// The host extract of a run: one entry for every line examined, its time
// stamp, host and request path joined by blanks.  The entries are composed
// from the log lines whenever they are asked for, not stored: a log of
// millions of lines would otherwise hold millions of them.
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "text/LineSource.h"
#include "text/TextLines.h"

namespace pomurina {

class HostExtractLines final : public LineSource {
public:
    // The extract of the lines from firstLine on; empty at first.
    HostExtractLines(std::shared_ptr<const TextLines> lines, std::size_t firstLine);

    // The next line has its entry, length bytes long.
    void Add(std::size_t length) { m_longest.Offer(m_count++, length); }
    // The entries of the lines that later holds, which follow this one's.
    void Join(const HostExtractLines& later);

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
};

}  // namespace pomurina
