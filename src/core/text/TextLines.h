#pragma once
// The lines of one text held whole in memory (a loaded log): one buffer and
// where every line ends in it, split by the program's line rules.  A line's
// bytes run from the end of the one before to its own end, less its line
// end: a line holds no CR or LF, so the line end is what of them it ends with.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "text/ByteBuffer.h"
#include "text/LineEnds.h"
#include "text/LineSource.h"

namespace pomurina {

class MemoryBudget;

class TextLines final : public LineSource {
public:
    // Takes the bytes, leaves their zero bytes out and splits them (CR, LF,
    // CR LF); a large text is split on every core.  The index is charged to
    // budget, when given, as it grows.  A mapped file is searched for zero
    // bytes as it is split, and copied without them only when it holds any.
    explicit TextLines(ByteBuffer bytes, MemoryBudget* budget = nullptr);
    // The same for bytes held in a string (copied once).
    explicit TextLines(std::string_view bytes);
    // The lines of a text that another thread is still writing into bytes,
    // zero bytes already left out, at a place that never moves: none at
    // first; Extend takes those that have arrived.
    static std::shared_ptr<TextLines> Arriving(std::shared_ptr<const ByteBuffer> bytes);
    // Takes the lines of the first length bytes: those whose line end has
    // arrived whole, or every one when the text is whole; at most most of
    // them.  Returns whether lines were left for a later call.
    bool Extend(std::size_t length, bool whole, MemoryBudget* budget = nullptr,
                std::size_t most = static_cast<std::size_t>(-1));
    // The bytes whose lines have been taken (a line begins there).
    std::size_t Taken() const { return m_split; }
    // Where the whole lines of a text that goes on after it end: after its
    // last LF, else after its last CR whose next byte is in it (and so is no
    // LF); 0 when no line of it is whole yet.
    static std::size_t WholeLinesEnd(std::string_view text);
    // count lines that went by and were not kept (a streamed run's log):
    // only their number is known, and each reads as empty.
    static std::shared_ptr<TextLines> Passed(std::size_t count);

    // The lines numbered chosen (ascending) of a whole text, as lines of
    // their own: they share all's bytes and index, and copy neither.
    static std::shared_ptr<const TextLines> Selected(std::shared_ptr<const TextLines> all,
                                                      std::vector<std::uint64_t> chosen);
    // The whole text a selection was made of; the text itself when it is whole.
    const TextLines& Whole() const { return m_whole ? *m_whole : *this; }
    // The line of the whole text that line index is.
    std::uint64_t WholeIndex(std::size_t index) const { return m_whole ? m_chosen[index] : index; }

    std::size_t Count() const override {
        return m_whole ? m_chosen.size() : m_ends.Size() + m_passed;
    }
    std::string_view Line(std::size_t index, std::string&) const override {
        return m_whole || index < m_ends.Size() ? At(index) : std::string_view();
    }
    std::size_t Length(std::size_t index) const override {
        return m_whole || index < m_ends.Size() ? At(index).size() : 0;
    }
    void AppendLines(std::size_t first, std::size_t count, std::string& out) const override;

    std::string_view At(std::size_t index) const {
        if (m_whole) return m_whole->At(m_chosen[index]);
        const char* const bytes = m_bytes->data();
        const std::uint64_t begin = Offset(index);
        std::uint64_t end = m_ends[index];
        if (end > begin && bytes[end - 1] == '\n') --end;
        if (end > begin && bytes[end - 1] == '\r') --end;
        return std::string_view(bytes + begin, end - begin);
    }
    std::uint64_t Offset(std::size_t index) const { return index == 0 ? 0 : m_ends[index - 1]; }
    // The bytes the index takes.
    std::size_t IndexBytes() const {
        return m_ends.Bytes() + m_chosen.capacity() * sizeof(std::uint64_t);
    }
    // The buffer every line and every entry composed from the lines points into.
    const std::shared_ptr<const ByteBuffer>& Bytes() const { return m_bytes; }

private:
    TextLines() = default;
    // Splits m_bytes into m_ends; false, with some ends taken, when they are
    // a mapped file's that holds a zero byte.
    bool Split(MemoryBudget* budget);

    // Whether line index ends in a single LF.
    bool EndsInLf(std::size_t index) const {
        const char* const bytes = m_bytes->data();
        const std::uint64_t begin = Offset(index), end = m_ends[index];
        return end > begin && bytes[end - 1] == '\n' &&
               (end - 1 == begin || bytes[end - 2] != '\r');
    }

    std::shared_ptr<const ByteBuffer> m_bytes;
    LineEnds m_ends;
    std::size_t m_split = 0;   // the bytes split into lines so far
    std::size_t m_passed = 0;  // lines counted after those kept
    // Of a selection: the whole text and the numbers of its lines chosen.
    std::shared_ptr<const TextLines> m_whole;
    std::vector<std::uint64_t> m_chosen;
};

}  // namespace pomurina
