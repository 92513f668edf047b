#include "analysis/EntryList.h"

#include <algorithm>
#include <cstring>
#include <new>

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

}  // namespace

EntryList::EntryList(std::shared_ptr<const ByteBuffer> bytes, std::vector<Form> forms)
    : m_bytes(std::move(bytes)),
      m_forms(std::move(forms)),
      m_pieces(m_forms.front().literals.size() - 1),
      m_stride(1 + (m_forms.size() > 1 ? 1 : 0) + m_pieces) {}

void EntryList::FitLastChunk() {
    if (m_chunks.empty() || m_chunks.back().size == 0 || m_free == 0) return;
    Chunk& last = m_chunks.back();
    Reallocate(last.words, last.size * sizeof(std::uint32_t));  // kept as it is if not
    m_allocatedWords -= m_free * m_stride;
    m_free = 0;
}

void EntryList::GrowLastChunk(bool newChunk, std::uint64_t base) {
    // The last chunk keeps no room it will never fill.
    if (newChunk) FitLastChunk();
    if (newChunk || m_chunks.empty() || m_chunks.back().size == kChunkEntries * m_stride) {
        m_starts.push_back(m_count);
        m_chunks.emplace_back();
        // A chunk begun because the last is full goes on from the last's base.
        m_chunks.back().base =
            newChunk || m_chunks.size() == 1 ? base : m_chunks[m_chunks.size() - 2].base;
    }
    Chunk& last = m_chunks.back();
    const std::size_t entries = last.size / m_stride;
    const std::size_t room = std::min(kChunkEntries, std::max<std::size_t>(16, 2 * entries));
    if (!Reallocate(last.words, room * m_stride * sizeof(std::uint32_t))) throw std::bad_alloc();
    m_allocatedWords += (room - entries - m_free) * m_stride;
    m_free = room - entries;
}

std::size_t EntryList::Footprint() const {
    return m_allocatedWords * sizeof(std::uint32_t) + m_spilledBytes + m_copiesRoom +
           m_chunks.capacity() * sizeof(Chunk) + m_starts.capacity() * sizeof(std::size_t) +
           m_spilled.capacity() * sizeof(std::string);
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
    if (!m_bytes || other.m_bytes != m_bytes) return CopyFrom(other, index);
    const std::size_t c = other.ChunkOf(index);
    const std::uint32_t* from = other.WordsOf(c, index);
    if (IsSpilled(from)) return KeepSpilled(other.Spilled(from), from + 1);
    std::uint32_t* const words = NewEntry(other.m_chunks[c].base + from[0]);
    std::memcpy(words, from + 1, (m_stride - 1) * sizeof *words);
}

void EntryList::CopyFrom(const EntryList& other, std::size_t index) {
    if (m_count >= m_keepAtMost) {
        ++m_passed;
        return;
    }
    const std::size_t c = other.ChunkOf(index);
    const std::uint32_t* from = other.WordsOf(c, index);
    const std::uint32_t* fromPieces = other.PieceWords(from);
    std::size_t total = 0;
    for (std::size_t i = 0; i < m_pieces; ++i) total += PieceSize(fromPieces[i]);
    if (IsSpilled(from) || total > kPieceMax) {
        std::string whole;
        other.Compose(other.m_chunks[c], from, whole);
        return KeepSpilled(std::move(whole), from + 1);
    }
    if (m_copiesRoom - m_copiedBytes < total) {
        const std::size_t room = std::max({m_copiedBytes + total, 2 * m_copiesRoom, kFirstCopies});
        if (!Reallocate(m_copies, room)) throw std::bad_alloc();
        m_copiesRoom = room;
    }
    std::uint32_t* words = NewEntry(m_copiedBytes);
    if (m_forms.size() > 1) *words++ = *other.FormWord(from);
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
        FitLastChunk();
        for (Chunk& chunk : later.m_chunks) {
            if (chunk.size == 0) continue;
            m_starts.push_back(m_count);
            m_count += chunk.size / m_stride;
            m_chunks.push_back(std::move(chunk));
        }
        m_free = later.m_free;  // the last chunk is later's
        m_allocatedWords += later.m_allocatedWords;
    }
    later.m_chunks.clear();
    later.m_starts.clear();
    later.m_spilled.clear();
    later.m_count = 0;
    later.m_free = 0;
    later.m_allocatedWords = 0;
    later.m_spilledBytes = 0;
}

std::size_t EntryList::ChunkOf(std::size_t index) const {
    const auto after = std::upper_bound(m_starts.begin(), m_starts.end(), index);
    return static_cast<std::size_t>(after - m_starts.begin()) - 1;
}

const std::uint32_t* EntryList::WordsOf(std::size_t chunk, std::size_t index) const {
    return m_chunks[chunk].words.get() + (index - m_starts[chunk]) * m_stride;
}

void EntryList::Compose(const Chunk& chunk, const std::uint32_t* words, std::string& out) const {
    if (IsSpilled(words)) {
        out += Spilled(words);
        return;
    }
    const Form& form = m_forms[m_forms.size() > 1 ? *FormWord(words) : 0];
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
    const std::uint32_t* words = WordsOf(c, index);
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
    const std::uint32_t* words = WordsOf(c, index);
    if (IsSpilled(words) || piece >= m_pieces) return {};
    const std::uint32_t at = PieceWords(words)[piece];
    return std::string_view(LineOf(m_chunks[c], words) + PieceOffset(at), PieceSize(at));
}

std::size_t EntryList::Length(std::size_t index) const {
    if (index >= m_count) return 0;
    const std::uint32_t* words = WordsOf(ChunkOf(index), index);
    if (IsSpilled(words)) return Spilled(words).size();
    const Form& form = m_forms[m_forms.size() > 1 ? *FormWord(words) : 0];
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
    std::size_t c = ChunkOf(first);
    std::size_t within = first - m_starts[c];
    while (count > 0) {
        const Chunk& chunk = m_chunks[c];
        const std::size_t here = std::min(count, chunk.size / m_stride - within);
        const std::uint32_t* words = chunk.words.get() + within * m_stride;
        for (std::size_t i = 0; i < here; ++i, words += m_stride) {
            Compose(chunk, words, out);
            out += '\n';
        }
        count -= here;
        ++c;
        within = 0;
    }
}

}  // namespace pomurina
