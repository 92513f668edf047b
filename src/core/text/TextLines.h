#pragma once
// The lines of one text held whole in memory (a loaded log): one buffer and
// the place of every line in it, split by the program's line rules.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "text/ByteBuffer.h"
#include "text/LineSource.h"

namespace pomurina {

class TextLines final : public LineSource {
public:
    // Takes the bytes, leaves their zero bytes out and splits them (CR, LF,
    // CR LF); a large text is split on every core.
    explicit TextLines(ByteBuffer bytes);
    // The same for bytes held in a string (copied once).
    explicit TextLines(std::string_view bytes);
    // The lines of a text that another thread is still writing into bytes,
    // zero bytes already left out, at a place that never moves: none at
    // first; Extend takes those that have arrived.
    static std::shared_ptr<TextLines> Arriving(std::shared_ptr<const ByteBuffer> bytes);
    // Takes the lines of the first length bytes: those whose line end has
    // arrived whole, or every one when the text is whole.
    void Extend(std::size_t length, bool whole);

    std::size_t Count() const override { return m_lines.size(); }
    std::string_view Line(std::size_t index, std::string&) const override { return At(index); }
    std::size_t Length(std::size_t index) const override { return m_lines[index].length; }
    void AppendLines(std::size_t first, std::size_t count, std::string& out) const override;

    std::string_view At(std::size_t index) const {
        return std::string_view(m_bytes->data() + m_lines[index].offset, m_lines[index].length);
    }
    std::uint64_t Offset(std::size_t index) const { return m_lines[index].offset; }
    // The buffer every line and every entry composed from the lines points into.
    const std::shared_ptr<const ByteBuffer>& Bytes() const { return m_bytes; }

private:
    TextLines() = default;

    struct Span {
        std::uint64_t offset;
        std::uint64_t length;
    };
    std::shared_ptr<const ByteBuffer> m_bytes;
    std::vector<Span> m_lines;
    std::size_t m_split = 0;  // the bytes split into lines so far
};

}  // namespace pomurina
