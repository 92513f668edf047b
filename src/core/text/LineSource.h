#pragma once
// Read access to a sequence of text lines that an analysis run and the panes
// share: a pane shows a run's collection without copying it.
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace pomurina {

class LineSource {
public:
    virtual ~LineSource() = default;
    virtual std::size_t Count() const = 0;
    // The line's bytes; they may be composed into scratch, so the view lives
    // as long as scratch is left alone and the source is not changed.
    virtual std::string_view Line(std::size_t index, std::string& scratch) const = 0;
    // The line's length in bytes, without composing it.
    virtual std::size_t Length(std::size_t index) const = 0;
    // Appends lines first .. first + count - 1 to out, each followed by a line
    // feed (writing a whole collection costs no call per line where a source
    // can do better than this).
    virtual void AppendLines(std::size_t first, std::size_t count, std::string& out) const {
        std::string scratch;
        for (std::size_t i = first; i < first + count; ++i) {
            out += Line(i, scratch);
            out += '\n';
        }
    }
    // The indexes of the count longest lines by bytes (the earlier of two
    // as long), longest first.
    virtual std::vector<std::size_t> LongestLines(std::size_t count) const;
};

using SharedLineSource = std::shared_ptr<const LineSource>;

// The longest of lines offered one by one, by bytes: the earlier of two as
// long stays.  Kept longest first.
class LongestKept {
public:
    explicit LongestKept(std::size_t count) : m_count(count) {}
    // True when the line is among the longest so far.
    bool Offer(std::size_t index, std::size_t length) {
        if (m_kept.size() == m_count && (m_count == 0 || length <= m_kept.back().length))
            return false;
        auto at = m_kept.end();
        while (at != m_kept.begin() && (at - 1)->length < length) --at;
        m_kept.insert(at, {length, index});
        if (m_kept.size() > m_count) m_kept.pop_back();
        return true;
    }
    struct Line {
        std::size_t length, index;
    };
    const std::vector<Line>& Kept() const { return m_kept; }
    std::size_t Size() const { return m_count; }
    void Clear() { m_kept.clear(); }

private:
    std::size_t m_count;
    std::vector<Line> m_kept;
};

inline std::vector<std::size_t> LineSource::LongestLines(std::size_t count) const {
    LongestKept longest(count);
    for (std::size_t i = 0; i < Count(); ++i) longest.Offer(i, Length(i));
    std::vector<std::size_t> indexes;
    for (const auto& line : longest.Kept()) indexes.push_back(line.index);
    return indexes;
}

// Lines held as separate strings (headers, lines typed or appended one by one).
class OwnedLines final : public LineSource {
public:
    OwnedLines() = default;
    explicit OwnedLines(std::vector<std::string> lines) : m_lines(std::move(lines)) {}
    std::size_t Count() const override { return m_lines.size(); }
    std::string_view Line(std::size_t index, std::string&) const override { return m_lines[index]; }
    std::size_t Length(std::size_t index) const override { return m_lines[index].size(); }
    void Add(std::string_view line) { m_lines.emplace_back(line); }

private:
    std::vector<std::string> m_lines;
};

}  // namespace pomurina
