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
};

using SharedLineSource = std::shared_ptr<const LineSource>;

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
