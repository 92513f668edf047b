#pragma once
// A collection of entries composed of literal texts and pieces of the lines
// of one loaded log: "[" + referrer + "] " + path, say.  An entry keeps only
// where its pieces lie, so millions of entries cost a few words each and the
// panes can show them without a copy.
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "text/LineSource.h"

namespace pomurina {

class EntryList final : public LineSource {
public:
    // One way of joining the pieces: literals[0] piece[0] literals[1] ... piece[n-1] literals[n].
    struct Form {
        std::vector<std::string> literals;
    };

    // All forms have the same number of pieces.
    EntryList(std::shared_ptr<const std::string> bytes, std::vector<Form> forms);

    // Appends an entry of the given form; line lies in the shared bytes and
    // every piece lies in line (or is empty).
    void Add(unsigned form, std::string_view line, std::initializer_list<std::string_view> pieces);

    std::size_t Count() const override { return m_count; }
    std::string_view Line(std::size_t index, std::string& scratch) const override;
    std::size_t Length(std::size_t index) const override;

private:
    struct Piece {
        std::uint64_t offset;
        std::uint64_t length;
    };
    // The words of entry index.
    const std::uint32_t* WordsOf(std::size_t index) const {
        return m_chunks[index >> kChunkShift].data() + (index & (kChunkEntries - 1)) * m_stride;
    }
    unsigned FormOf(std::size_t index) const;
    Piece PieceOf(std::size_t index, std::size_t piece) const;

    std::shared_ptr<const std::string> m_bytes;
    std::vector<Form> m_forms;
    static constexpr std::size_t kMaxPieces = 4;
    static constexpr std::size_t kMaxWords = 3 + 2 * kMaxPieces;
    std::size_t m_pieces;
    std::size_t m_stride;  // 32-bit words per entry
    std::size_t m_count = 0;
    // Per entry: the line's offset (two words), the form when there are
    // several, then offset and length of each piece relative to the line.
    // Kept in chunks of a fixed number of entries, so that growing never
    // copies what is held.
    static constexpr std::size_t kChunkShift = 16;
    static constexpr std::size_t kChunkEntries = std::size_t{1} << kChunkShift;
    // The first chunk grows as a small list would; every later one is
    // allocated whole when the one before is full.
    std::vector<std::vector<std::uint32_t>> m_chunks;
    // Entries of lines too long for 32-bit relative places (4 GiB and more)
    // are kept whole here; their first word then holds the index with the top bit set.
    std::vector<std::string> m_spilled;
};

}  // namespace pomurina
