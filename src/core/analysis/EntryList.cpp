#include "analysis/EntryList.h"

#include <limits>

namespace pomurina {
namespace {

constexpr std::uint32_t kSpilled = 0x80000000u;
constexpr std::uint64_t kMaxRelative = std::numeric_limits<std::uint32_t>::max();

}  // namespace

EntryList::EntryList(std::shared_ptr<const std::string> bytes, std::vector<Form> forms)
    : m_bytes(std::move(bytes)),
      m_forms(std::move(forms)),
      m_pieces(m_forms.front().literals.size() - 1),
      m_stride(2 + (m_forms.size() > 1 ? 1 : 0) + 2 * m_pieces) {}

void EntryList::Add(unsigned form, std::string_view line,
                    std::initializer_list<std::string_view> pieces) {
    const std::uint64_t lineOffset = static_cast<std::uint64_t>(line.data() - m_bytes->data());
    const bool fits = line.size() <= kMaxRelative;
    std::uint32_t words[kMaxWords];
    words[0] = static_cast<std::uint32_t>(lineOffset >> 32);
    words[1] = static_cast<std::uint32_t>(lineOffset);
    std::size_t w = 2;
    if (m_forms.size() > 1) words[w++] = form;
    for (const std::string_view piece : pieces) {
        const std::uint64_t relative =
            piece.empty() ? 0 : static_cast<std::uint64_t>(piece.data() - line.data());
        words[w++] = static_cast<std::uint32_t>(relative);
        words[w++] = static_cast<std::uint32_t>(piece.size());
    }
    if ((m_count & (kChunkEntries - 1)) == 0) {
        m_chunks.emplace_back();
        if (m_count > 0) m_chunks.back().reserve(kChunkEntries * m_stride);
    }
    std::vector<std::uint32_t>& chunk = m_chunks.back();
    chunk.insert(chunk.end(), words, words + m_stride);
    std::uint32_t* const at = chunk.data() + chunk.size() - m_stride;
    ++m_count;
    if (!fits) {
        // Compose the entry now and keep it whole.
        std::string whole;
        const Form& f = m_forms[form];
        std::size_t i = 0;
        for (const std::string_view piece : pieces) {
            whole += f.literals[i++];
            whole += piece;
        }
        whole += f.literals[i];
        at[0] = kSpilled | static_cast<std::uint32_t>(m_spilled.size() >> 32);
        at[1] = static_cast<std::uint32_t>(m_spilled.size());
        m_spilled.push_back(std::move(whole));
    }
}

unsigned EntryList::FormOf(std::size_t index) const {
    return m_forms.size() > 1 ? WordsOf(index)[2] : 0;
}

EntryList::Piece EntryList::PieceOf(std::size_t index, std::size_t piece) const {
    const std::uint32_t* words = WordsOf(index);
    const std::uint64_t lineOffset = (static_cast<std::uint64_t>(words[0]) << 32) | words[1];
    const std::size_t w = 2 + (m_forms.size() > 1 ? 1 : 0) + 2 * piece;
    return {lineOffset + words[w], words[w + 1]};
}

std::string_view EntryList::Line(std::size_t index, std::string& scratch) const {
    const std::uint32_t* words = WordsOf(index);
    if (words[0] & kSpilled)
        return m_spilled[(static_cast<std::uint64_t>(words[0] & ~kSpilled) << 32) | words[1]];
    const Form& form = m_forms[FormOf(index)];
    if (m_pieces == 1 && form.literals[0].empty() && form.literals[1].empty()) {
        const Piece p = PieceOf(index, 0);
        return std::string_view(m_bytes->data() + p.offset, p.length);
    }
    scratch.clear();
    for (std::size_t i = 0; i < m_pieces; ++i) {
        scratch += form.literals[i];
        const Piece p = PieceOf(index, i);
        scratch.append(m_bytes->data() + p.offset, p.length);
    }
    scratch += form.literals[m_pieces];
    return scratch;
}

std::size_t EntryList::Length(std::size_t index) const {
    const std::uint32_t* words = WordsOf(index);
    if (words[0] & kSpilled)
        return m_spilled[(static_cast<std::uint64_t>(words[0] & ~kSpilled) << 32) | words[1]]
            .size();
    const Form& form = m_forms[FormOf(index)];
    std::size_t length = 0;
    for (std::size_t i = 0; i < m_pieces; ++i)
        length += form.literals[i].size() + PieceOf(index, i).length;
    return length + form.literals[m_pieces].size();
}

}  // namespace pomurina
