#pragma once
// A collection of entries composed of literal texts and pieces of the lines
// of one loaded log: "[" + referrer + "] " + path, say.  An entry keeps only
// where its pieces lie, so millions of entries cost a few words each and the
// panes can show them without a copy.
#include <array>
#include <cstdint>
#include <cstdlib>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "text/ByteBuffer.h"
#include "text/LineSource.h"

namespace pomurina {

class EntryList final : public LineSource {
public:
    // One way of joining the pieces: literals[0] piece[0] literals[1] ... piece[n-1] literals[n].
    struct Form {
        std::vector<std::string> literals;
    };

    // All forms have the same number of pieces; bytes null: a list of copies.
    EntryList(std::shared_ptr<const ByteBuffer> bytes, std::vector<Form> forms);

    // Appends an entry of the given form; line lies in the shared bytes and
    // every piece lies in line (or is empty).  Never on a list of copies.
    void Add(unsigned form, std::string_view line, std::initializer_list<std::string_view> pieces) {
        if (m_count >= m_keepAtMost) {
            ++m_passed;
            return;
        }
        const auto lineOffset = static_cast<std::uint64_t>(line.data() - m_bytes->data());
        if (line.size() > kPieceMax) return Spill(form, pieces);
        std::uint32_t* w = NewEntry(lineOffset);
        if (m_forms.size() > 1) *w++ = form;
        for (const std::string_view piece : pieces)
            *w++ = piece.empty()
                       ? 0
                       : Packed(static_cast<std::size_t>(piece.data() - line.data()), piece.size());
    }
    // Appends entry index of other, a list with the same forms (over the
    // same bytes, or its pieces are copied).
    void AddFrom(const EntryList& other, std::size_t index);
    // Appends every entry of later (a list like this one), taking over its
    // storage rather than copying it (a list of copies copies the pieces);
    // later is left empty.
    void Join(EntryList&& later);
    // Keeps the first count entries and only counts the rest, which read as
    // empty (what only the first lines are shown of).  A list that only
    // counts may be joined only to one that has stopped keeping, or will
    // have by the entries that list only counted.
    void KeepAtMost(std::size_t count) { m_keepAtMost = count; }
    // How many more entries it keeps.
    std::size_t RoomKept() const { return m_keepAtMost > m_count ? m_keepAtMost - m_count : 0; }
    // Packs the entries added so far tightly: each of their places in as
    // few bits as its chunk needs (on a web log, under half the room).  Later
    // entries go on in a new chunk.  A part settles its lists before they
    // are joined, so the packing is done beside the other parts.
    void Settle() { SettleLastChunk(); }

    // Piece number piece of entry index, as it lies in the log; empty for an
    // entry kept whole (its line is 64 KiB or longer).
    std::string_view Piece(std::size_t index, std::size_t piece) const;

    std::size_t Count() const override { return m_count + m_passed; }
    // The bytes the entries take.
    std::size_t Footprint() const;
    std::string_view Line(std::size_t index, std::string& scratch) const override;
    std::size_t Length(std::size_t index) const override;
    void AppendLines(std::size_t first, std::size_t count, std::string& out) const override;

private:
    struct Chunk;
    static constexpr std::size_t kMaxPieces = 6;
    // The words of one entry, as Add writes them.
    using Words = std::array<std::uint32_t, 2 + kMaxPieces>;
    // Where the lines' offsets count from.
    const char* Base() const { return m_bytes ? m_bytes->data() : m_copies.get(); }
    // Appends entry index of other with its pieces copied.
    void CopyFrom(const EntryList& other, std::size_t index);
    // The chunk entry index lies in, and its words.
    std::size_t ChunkOf(std::size_t index) const;
    Words WordsOf(std::size_t chunk, std::size_t index) const;
    static bool IsSpilled(const Words& words) { return (words[0] & kSpilled) != 0; }
    const std::string& Spilled(const Words& words) const { return m_spilled[words[0] & ~kSpilled]; }
    // The line an entry of chunk lies in.
    const char* LineOf(const Chunk& chunk, const Words& words) const {
        return Base() + chunk.base + words[0];
    }
    // The words after the line's place: the form when there are several, then the pieces.
    unsigned FormOf(const Words& words) const { return m_forms.size() > 1 ? words[1] : 0; }
    const std::uint32_t* PieceWords(const Words& words) const {
        return words.data() + (m_forms.size() > 1 ? 2 : 1);
    }
    // Appends the composed entry whose words, in chunk, are given.
    void Compose(const Chunk& chunk, const Words& words, std::string& out) const;
    // Room for one more entry's words, its line at lineOffset; the first
    // word is set and the rest returned.
    std::uint32_t* NewEntry(std::uint64_t lineOffset) {
        const bool told = !m_chunks.empty() && lineOffset >= m_chunks.back().base &&
                          lineOffset - m_chunks.back().base < kSpilled;
        std::uint32_t* const words = NewWords(!told, lineOffset);
        words[0] = static_cast<std::uint32_t>(lineOffset - m_chunks.back().base);
        return words + 1;
    }
    // Room for one more entry's words, in a new chunk based at base when
    // asked (an offset the last chunk's base can't tell).
    std::uint32_t* NewWords(bool newChunk, std::uint64_t base) {
        if (m_free == 0 || newChunk) GrowLastChunk(newChunk, base);
        --m_free;
        ++m_count;
        Chunk& last = m_chunks.back();
        return last.words.get() + m_stride * last.entries++;
    }
    void GrowLastChunk(bool newChunk, std::uint64_t base);
    // Packs the last chunk, which then takes no more entries.
    void SettleLastChunk();
    // The number of fields a packed entry has: the line's place, the form
    // when there are several, then each piece's offset and size.
    std::size_t FieldCount() const { return m_stride - m_pieces + 2 * m_pieces; }
    // Keeps an entry composed whole.
    void Spill(unsigned form, std::initializer_list<std::string_view> pieces);
    void KeepSpilled(std::string whole, const std::uint32_t* rest);
    // A piece's place in its line: offset and size of at most kPieceMax each.
    static std::uint32_t Packed(std::size_t offset, std::size_t size) {
        return static_cast<std::uint32_t>(offset << 16 | size);
    }
    static std::size_t PieceOffset(std::uint32_t word) { return word >> 16; }
    static std::size_t PieceSize(std::uint32_t word) { return word & kPieceMax; }

    static constexpr std::size_t kPieceMax = 0xFFFF;
    static constexpr std::uint32_t kSpilled = 0x80000000u;
    std::shared_ptr<const ByteBuffer> m_bytes;
    std::vector<Form> m_forms;
    std::size_t m_pieces;
    std::size_t m_stride;  // 32-bit words per entry
    std::size_t m_count = 0;
    // Per entry: the line's offset from its chunk's base, the form when there
    // are several, then each piece's offset and size within the line (16 bits
    // each; an entry of a line of 64 KiB or more is kept whole instead, its
    // first word the index in m_spilled with kSpilled set).  Kept in chunks
    // of at most kChunkEntries entries, so that growing never copies much
    // and a list joined to another keeps its chunks.  The last chunk grows
    // as a small list would (by reallocation, which for large blocks remaps
    // rather than copies), a word for each of these; every other chunk is
    // settled: its entries packed, each field in the bits its chunk needs.
    static constexpr std::size_t kChunkEntries = std::size_t{1} << 16;
    struct Free {
        void operator()(void* block) const { std::free(block); }
    };
    // A settled chunk's field: its values less least, in width bits, at bit
    // at of every entry.
    struct Field {
        std::uint32_t least = 0;
        std::uint8_t width = 0, at = 0;
    };
    struct Chunk {
        // Growing: m_stride words an entry; settled: the packed entries.
        std::unique_ptr<std::uint32_t[], Free> words;
        std::size_t entries = 0;
        std::size_t room = 0;    // bytes allocated
        std::uint64_t base = 0;  // where its entries' line offsets count from
        // Settled: the fields, and the bits of an entry.
        std::unique_ptr<Field[]> fields;
        std::size_t entryBits = 0;
    };
    std::vector<Chunk> m_chunks;
    std::vector<std::size_t> m_starts;  // the first entry of every chunk
    std::size_t m_free = 0;             // entries that fit the last chunk as allocated
    // Entries of lines too long for 16-bit places, kept whole.
    std::vector<std::string> m_spilled;
    std::size_t m_allocatedBytes = 0;  // in every chunk, used or not
    std::size_t m_spilledBytes = 0;
    std::size_t m_keepAtMost = static_cast<std::size_t>(-1);
    std::size_t m_passed = 0;  // entries counted after those kept
    // A list of copies: every entry's pieces one after another, as its "line".
    std::unique_ptr<char[], Free> m_copies;
    std::size_t m_copiedBytes = 0, m_copiesRoom = 0;
};

}  // namespace pomurina
