#include "analysis/EntryList.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <new>
#include <stdexcept>

namespace pomurina {
namespace {

// A list joined to another takes over the other's storage; a few entries are
// cheaper copied than kept as a chunk of their own.
constexpr std::size_t kCopyUpTo = 1024;
// A list of copies first takes this much room for them, then doubles it.
constexpr std::size_t kFirstCopies = std::size_t{64} << 10;

// Gives block (from malloc) size bytes, moving it if need be; false, the
// block as it was, when the system has no such room.
template <typename T, typename Free>
bool Reallocate(std::unique_ptr<T[], Free>& block, std::size_t size) {
    void* moved = std::realloc(block.get(), size);
    if (!moved) return false;
    (void)block.release();
    block.reset(static_cast<T*>(moved));
    return true;
}

// Packed fields are read and written eight bytes at a time, little-endian
// whatever the machine: a field of up to 32 bits at any bit fits in them.
constexpr std::size_t kPackedTail = 8;

std::uint64_t LoadEight(const unsigned char* at) {
    if constexpr (std::endian::native == std::endian::little) {
        std::uint64_t value;
        std::memcpy(&value, at, sizeof value);
        return value;
    }
    std::uint64_t value = 0;
    for (int i = 7; i >= 0; --i) value = value << 8 | at[i];
    return value;
}

void StoreEight(unsigned char* at, std::uint64_t value) {
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(at, &value, sizeof value);
        return;
    }
    for (int i = 0; i < 8; ++i, value >>= 8) at[i] = static_cast<unsigned char>(value);
}

}  // namespace

EntryList::EntryList(std::shared_ptr<const ByteBuffer> bytes, std::vector<Form> forms)
    : m_bytes(std::move(bytes)),
      m_forms(std::move(forms)),
      m_pieces(m_forms.front().literals.size() - 1),
      m_stride(1 + (m_forms.size() > 1 ? 1 : 0) + m_pieces) {
    if (m_pieces > kMaxPieces) throw std::invalid_argument("an entry of too many pieces");
}

void EntryList::SettleLastChunk() {
    if (m_chunks.empty() || m_chunks.back().fields) return;
    Chunk& chunk = m_chunks.back();
    m_free = 0;
    const std::size_t fieldCount = FieldCount();
    const auto fieldsOf = [&](const std::uint32_t* words, std::uint32_t* fields) {
        const std::size_t whole = m_stride - m_pieces;  // the line's place and the form
        for (std::size_t w = 0; w < whole; ++w) fields[w] = words[w];  // no call for a word or two
        for (std::size_t p = 0; p < m_pieces; ++p) {
            fields[whole + 2 * p] = static_cast<std::uint32_t>(PieceOffset(words[whole + p]));
            fields[whole + 2 * p + 1] = static_cast<std::uint32_t>(PieceSize(words[whole + p]));
        }
    };
    std::array<std::uint32_t, 2 * (2 + kMaxPieces)> values{}, least{}, most{};
    least.fill(chunk.entries == 0 ? 0 : UINT32_MAX);
    for (std::size_t e = 0; e < chunk.entries; ++e) {
        fieldsOf(chunk.words.get() + e * m_stride, values.data());
        for (std::size_t f = 0; f < values.size(); ++f) {
            least[f] = std::min(least[f], values[f]);
            most[f] = std::max(most[f], values[f]);
        }
    }
    auto fields = std::make_unique<Field[]>(fieldCount);
    std::size_t entryBits = 0;
    for (std::size_t f = 0; f < fieldCount; ++f) {
        fields[f].least = least[f];
        fields[f].width = static_cast<std::uint8_t>(std::bit_width(most[f] - fields[f].least));
        fields[f].at = static_cast<std::uint8_t>(entryBits);
        entryBits += fields[f].width;
    }
    const std::size_t room =
        (chunk.entries * entryBits + 7) / 8 + kPackedTail + sizeof(std::uint32_t) - 1;
    std::unique_ptr<std::uint32_t[], Free> packed(static_cast<std::uint32_t*>(
        std::calloc(room / sizeof(std::uint32_t), sizeof(std::uint32_t))));
    if (!packed) throw std::bad_alloc();
    // The fields go one after another: whole words are written as they fill.
    auto* out = reinterpret_cast<unsigned char*>(packed.get());
    std::uint64_t pending = 0;
    unsigned pendingBits = 0;
    for (std::size_t e = 0; e < chunk.entries; ++e) {
        fieldsOf(chunk.words.get() + e * m_stride, values.data());
        for (std::size_t f = 0; f < fieldCount; ++f) {
            pending |= std::uint64_t{values[f] - fields[f].least} << pendingBits;
            pendingBits += fields[f].width;
            if (pendingBits >= 32) {
                StoreEight(out, pending);
                out += 4;
                pending >>= 32;
                pendingBits -= 32;
            }
        }
    }
    StoreEight(out, pending);
    m_allocatedBytes =
        m_allocatedBytes - chunk.room + room / sizeof(std::uint32_t) * sizeof(std::uint32_t);
    chunk.room = room / sizeof(std::uint32_t) * sizeof(std::uint32_t);
    chunk.words = std::move(packed);
    chunk.fields = std::move(fields);
    chunk.entryBits = entryBits;
}

void EntryList::GrowLastChunk(bool newChunk, std::uint64_t base) {
    const bool full =
        !m_chunks.empty() && (m_chunks.back().fields || m_chunks.back().entries == kChunkEntries);
    if (newChunk || full) SettleLastChunk();
    if (newChunk || full || m_chunks.empty()) {
        m_starts.push_back(m_count);
        m_chunks.emplace_back();
        // A chunk begun because the last is full goes on from the last's base.
        m_chunks.back().base =
            newChunk || m_chunks.size() == 1 ? base : m_chunks[m_chunks.size() - 2].base;
    }
    Chunk& last = m_chunks.back();
    const std::size_t room = std::min(kChunkEntries, std::max<std::size_t>(16, 2 * last.entries)) *
                             m_stride * sizeof(std::uint32_t);
    if (!Reallocate(last.words, room)) throw std::bad_alloc();
    m_allocatedBytes += room - last.room;
    last.room = room;
    m_free = room / (m_stride * sizeof(std::uint32_t)) - last.entries;
}

std::size_t EntryList::Footprint() const {
    return m_allocatedBytes + m_chunks.size() * FieldCount() * sizeof(Field) + m_spilledBytes +
           m_copiesRoom + m_chunks.capacity() * sizeof(Chunk) +
           m_starts.capacity() * sizeof(std::size_t) + m_spilled.capacity() * sizeof(std::string);
}

void EntryList::Spill(unsigned form, std::initializer_list<std::string_view> pieces) {
    std::string whole;
    const Form& f = m_forms[form];
    std::size_t i = 0;
    for (const std::string_view piece : pieces) {
        whole += f.literals[i++];
        whole += piece;
    }
    whole += f.literals[i];
    std::vector<std::uint32_t> rest(m_stride - 1, 0);
    if (m_forms.size() > 1) rest[0] = form;
    KeepSpilled(std::move(whole), rest.data());
}

void EntryList::KeepSpilled(std::string whole, const std::uint32_t* rest) {
    if (m_spilled.size() >= kSpilled) throw std::bad_alloc();
    std::uint32_t* const words = NewWords(false, m_chunks.empty() ? 0 : m_chunks.back().base);
    words[0] = kSpilled | static_cast<std::uint32_t>(m_spilled.size());
    std::memcpy(words + 1, rest, (m_stride - 1) * sizeof *words);
    m_spilledBytes += whole.capacity();
    m_spilled.push_back(std::move(whole));
}

void EntryList::AddFrom(const EntryList& other, std::size_t index) {
    if (m_count >= m_keepAtMost) {
        ++m_passed;
        return;
    }
    if (!m_bytes || other.m_bytes != m_bytes) return CopyFrom(other, index);
    const std::size_t c = other.ChunkOf(index);
    const Words from = other.WordsOf(c, index);
    if (IsSpilled(from)) return KeepSpilled(other.Spilled(from), from.data() + 1);
    std::uint32_t* const words = NewEntry(other.m_chunks[c].base + from[0]);
    std::memcpy(words, from.data() + 1, (m_stride - 1) * sizeof *words);
}

void EntryList::CopyFrom(const EntryList& other, std::size_t index) {
    const std::size_t c = other.ChunkOf(index);
    const Words from = other.WordsOf(c, index);
    const std::uint32_t* fromPieces = other.PieceWords(from);
    std::size_t total = 0;
    for (std::size_t i = 0; i < m_pieces; ++i) total += PieceSize(fromPieces[i]);
    if (IsSpilled(from) || total > kPieceMax) {
        std::string whole;
        other.Compose(other.m_chunks[c], from, whole);
        return KeepSpilled(std::move(whole), from.data() + 1);
    }
    if (m_copiesRoom - m_copiedBytes < total) {
        const std::size_t room = std::max({m_copiedBytes + total, 2 * m_copiesRoom, kFirstCopies});
        if (!Reallocate(m_copies, room)) throw std::bad_alloc();
        m_copiesRoom = room;
    }
    std::uint32_t* words = NewEntry(m_copiedBytes);
    if (m_forms.size() > 1) *words++ = other.FormOf(from);
    const char* const line = other.LineOf(other.m_chunks[c], from);
    std::size_t within = 0;
    for (std::size_t i = 0; i < m_pieces; ++i) {
        const std::size_t size = PieceSize(fromPieces[i]);
        words[i] = size == 0 ? 0 : Packed(within, size);
        if (size > 0)
            std::memcpy(m_copies.get() + m_copiedBytes, line + PieceOffset(fromPieces[i]), size);
        m_copiedBytes += size;
        within += size;
    }
}

void EntryList::Join(EntryList&& later) {
    if (!m_bytes || later.m_bytes != m_bytes || later.m_count <= kCopyUpTo ||
        !later.m_spilled.empty()) {
        for (std::size_t i = 0; i < later.m_count; ++i) AddFrom(later, i);
    } else {
        // Entries go on in later's chunks: the room left in this one would stay empty.
        SettleLastChunk();
        for (Chunk& chunk : later.m_chunks) {
            if (chunk.entries == 0) continue;
            m_starts.push_back(m_count);
            m_count += chunk.entries;
            m_chunks.push_back(std::move(chunk));
        }
        m_free = later.m_free;  // the last chunk is later's
        m_allocatedBytes += later.m_allocatedBytes;
    }
    m_passed += later.m_passed;
    later.m_passed = 0;
    later.m_chunks.clear();
    later.m_starts.clear();
    later.m_spilled.clear();
    later.m_count = 0;
    later.m_free = 0;
    later.m_allocatedBytes = 0;
    later.m_spilledBytes = 0;
}

std::size_t EntryList::ChunkOf(std::size_t index) const {
    const auto after = std::upper_bound(m_starts.begin(), m_starts.end(), index);
    return static_cast<std::size_t>(after - m_starts.begin()) - 1;
}

EntryList::Words EntryList::WordsOf(std::size_t c, std::size_t index) const {
    const Chunk& chunk = m_chunks[c];
    const std::size_t within = index - m_starts[c];
    Words words{};
    if (!chunk.fields) {
        const std::uint32_t* const from = chunk.words.get() + within * m_stride;
        for (std::size_t w = 0; w < m_stride; ++w) words[w] = from[w];
        return words;
    }
    const auto* const bits = reinterpret_cast<const unsigned char*>(chunk.words.get());
    const auto field = [&](std::size_t f) {
        const Field& packed = chunk.fields[f];
        const std::size_t at = within * chunk.entryBits + packed.at;
        const std::uint64_t mask = (std::uint64_t{1} << packed.width) - 1;
        return packed.least + static_cast<std::uint32_t>(LoadEight(bits + at / 8) >> at % 8 & mask);
    };
    const std::size_t whole = m_stride - m_pieces;
    for (std::size_t w = 0; w < whole; ++w) words[w] = field(w);
    for (std::size_t p = 0; p < m_pieces; ++p)
        words[whole + p] = field(whole + 2 * p) << 16 | field(whole + 2 * p + 1);
    return words;
}

void EntryList::Compose(const Chunk& chunk, const Words& words, std::string& out) const {
    if (IsSpilled(words)) {
        out += Spilled(words);
        return;
    }
    const Form& form = m_forms[FormOf(words)];
    const char* const line = LineOf(chunk, words);
    const std::uint32_t* piece = PieceWords(words);
    // Most literals are a byte or two: no call to copy them.
    const auto literal = [&out](const std::string& text) {
        for (const char c : text) out.push_back(c);
    };
    for (std::size_t i = 0; i < m_pieces; ++i, ++piece) {
        literal(form.literals[i]);
        out.append(line + PieceOffset(*piece), PieceSize(*piece));
    }
    literal(form.literals[m_pieces]);
}

std::string_view EntryList::Line(std::size_t index, std::string& scratch) const {
    if (index >= m_count) return {};
    const std::size_t c = ChunkOf(index);
    const Words words = WordsOf(c, index);
    if (IsSpilled(words)) return Spilled(words);
    if (m_pieces == 1 && m_forms.size() == 1 && m_forms[0].literals[0].empty() &&
        m_forms[0].literals[1].empty())
        return std::string_view(LineOf(m_chunks[c], words) + PieceOffset(words[1]),
                                PieceSize(words[1]));
    scratch.clear();
    Compose(m_chunks[c], words, scratch);
    return scratch;
}

std::string_view EntryList::Piece(std::size_t index, std::size_t piece) const {
    if (index >= m_count) return {};
    const std::size_t c = ChunkOf(index);
    const Words words = WordsOf(c, index);
    if (IsSpilled(words) || piece >= m_pieces) return {};
    const std::uint32_t at = PieceWords(words)[piece];
    return std::string_view(LineOf(m_chunks[c], words) + PieceOffset(at), PieceSize(at));
}

std::size_t EntryList::Length(std::size_t index) const {
    if (index >= m_count) return 0;
    const Words words = WordsOf(ChunkOf(index), index);
    if (IsSpilled(words)) return Spilled(words).size();
    const Form& form = m_forms[FormOf(words)];
    const std::uint32_t* piece = PieceWords(words);
    std::size_t length = form.literals[m_pieces].size();
    for (std::size_t i = 0; i < m_pieces; ++i, ++piece)
        length += form.literals[i].size() + PieceSize(*piece);
    return length;
}

void EntryList::AppendLines(std::size_t first, std::size_t count, std::string& out) const {
    if (first + count > m_count) {
        // Entries only counted read as empty.
        const std::size_t kept = first < m_count ? m_count - first : 0;
        if (kept > 0) AppendLines(first, kept, out);
        out.append(count - kept, '\n');
        return;
    }
    if (count == 0) return;
    // The entries are unpacked a few at a time and their lines asked for
    // ahead: composing then seldom waits for the memory of a line.
    constexpr std::size_t kAhead = 16;
    std::array<Words, kAhead> ahead;
    std::array<std::size_t, kAhead> chunks;
    std::size_t c = ChunkOf(first);
    for (std::size_t index = first; index < first + count;) {
        const std::size_t here = std::min(kAhead, first + count - index);
        for (std::size_t k = 0; k < here; ++k, ++index) {
            while (index - m_starts[c] == m_chunks[c].entries) ++c;
            chunks[k] = c;
            ahead[k] = WordsOf(c, index);
            if (IsSpilled(ahead[k])) continue;
            const char* const line = LineOf(m_chunks[c], ahead[k]);
            const std::uint32_t* const pieces = PieceWords(ahead[k]);
            for (std::size_t p = 0; p < m_pieces; ++p)
                __builtin_prefetch(line + PieceOffset(pieces[p]));
        }
        for (std::size_t k = 0; k < here; ++k) {
            Compose(m_chunks[chunks[k]], ahead[k], out);
            out += '\n';
        }
    }
}

}  // namespace pomurina
