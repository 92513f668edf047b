#include "text/TextLines.h"

#include <algorithm>
#include <cstring>
#include <exception>

#include "parallel/OrderedWork.h"
#include "text/LineSplit.h"

namespace pomurina {
namespace {

// A text this large is split on every core.
constexpr std::size_t kPartsFrom = std::size_t{8} << 20;
// A mapped file's bytes are searched for zero bytes this many at a time,
// right after their lines are split, while they are still in the cache.
constexpr std::size_t kZeroSearchSpan = std::size_t{32} << 10;

ByteBuffer Copied(std::string_view text) {
    ByteBuffer bytes(text.size());
    if (!text.empty()) std::memcpy(bytes.data(), text.data(), text.size());
    return bytes;
}

}  // namespace

TextLines::TextLines(std::string_view bytes) : TextLines(Copied(bytes)) {}

TextLines::TextLines(ByteBuffer bytes, MemoryBudget* budget) {
    // A mapped file can't be written: its zero bytes are looked for as it is
    // split (its bytes are then at hand), and one that holds any is copied
    // without them (the budget was charged its size) and split again.
    if (!bytes.IsMappedFile()) bytes.Shrink(LeaveOutZeroBytes(bytes.data(), bytes.size()));
    m_bytes = std::make_shared<const ByteBuffer>(std::move(bytes));
    if (Split(budget)) return;
    m_ends.Clear(budget);
    ByteBuffer copy = Copied(m_bytes->View());
    copy.Shrink(LeaveOutZeroBytes(copy.data(), copy.size()));
    m_bytes = std::make_shared<const ByteBuffer>(std::move(copy));
    Split(budget);
}

bool TextLines::Split(MemoryBudget* budget) {
    const std::string_view text = m_bytes->View();
    const bool searchZeros = m_bytes->IsMappedFile();
    // The lines of a part of the text, split on a thread of its own.
    struct Part {
        LineEnds ends;
        bool zero = false;
        std::exception_ptr error;
    };
    const auto split = [budget, searchZeros](std::string_view part, std::size_t base, Part& out) {
        // A typical log line is well over 100 bytes; a first guess saves regrowth.
        out.ends.Reserve(part.size() / 128, budget);
        // A zero byte ends the split: the text is split again without it.
        std::size_t searched = 0;
        const auto search = [&](std::size_t end) {
            out.zero = std::memchr(part.data() + searched, 0, end - searched) != nullptr;
            searched = end;
            return !out.zero;
        };
        SplitLineEnds(part, [&](std::size_t, std::size_t, std::size_t end) {
            out.ends.Push(base + end, budget);
            return !searchZeros || end - searched < kZeroSearchSpan || search(end);
        });
        if (searchZeros && !out.zero) search(part.size());
    };
    // A line always begins after an LF (which ends a line or a CR LF pair), so
    // the lines after an LF are split apart from those before: a large text
    // is cut after the first LF past each share of the cores.
    std::vector<std::size_t> cuts{0};
    const std::size_t shares = text.size() >= kPartsFrom ? CoreCount() : 1;
    for (std::size_t k = 1; k < shares; ++k) {
        const std::size_t lf = text.find('\n', std::max(cuts.back(), text.size() / shares * k));
        if (lf == std::string_view::npos || lf + 1 == text.size()) break;
        cuts.push_back(lf + 1);
    }
    cuts.push_back(text.size());
    std::vector<Part> parts(cuts.size() - 1);
    bool zero = false;
    RunOrdered(
        {parts.size(), 0, 0},
        [&](std::size_t k) {
            try {
                split(text.substr(cuts[k], cuts[k + 1] - cuts[k]), cuts[k], parts[k]);
            } catch (...) {
                parts[k].error = std::current_exception();
                return false;
            }
            return !parts[k].zero;
        },
        [&](std::size_t k) {
            if (parts[k].error) std::rethrow_exception(parts[k].error);
            zero = zero || parts[k].zero;
            m_ends.Join(std::move(parts[k].ends), budget);
        });
    if (zero) return false;
    m_ends.Fit(budget);
    return true;
}

std::shared_ptr<TextLines> TextLines::Arriving(std::shared_ptr<const ByteBuffer> bytes) {
    std::shared_ptr<TextLines> lines(new TextLines());
    lines->m_bytes = std::move(bytes);
    return lines;
}

std::shared_ptr<TextLines> TextLines::Passed(std::size_t count) {
    std::shared_ptr<TextLines> lines(new TextLines());
    lines->m_passed = count;
    return lines;
}

std::size_t TextLines::WholeLinesEnd(std::string_view text) {
    // A line is whole after an LF, or after a CR whose next byte has
    // arrived and is no LF (there is no LF after it).
    const std::size_t lf = text.rfind('\n');
    if (lf != std::string_view::npos) return lf + 1;
    const std::size_t cr =
        text.size() < 2 ? std::string_view::npos : text.rfind('\r', text.size() - 2);
    return cr != std::string_view::npos ? cr + 1 : 0;
}

bool TextLines::Extend(std::size_t length, bool whole, MemoryBudget* budget, std::size_t most) {
    const std::string_view fresh(m_bytes->data() + m_split, length - m_split);
    const std::size_t cut = whole ? fresh.size() : WholeLinesEnd(fresh);
    // Every line taken is kept at once, so a charge that fails leaves the
    // lines before it taken and the rest for a later call.
    const std::size_t base = m_split;
    std::size_t taken = 0;
    bool left = false;
    SplitLineEnds(fresh.substr(0, cut), [&](std::size_t, std::size_t, std::size_t end) {
        left = taken == most;
        if (left) return false;
        m_ends.Push(base + end, budget);
        m_split = base + end;
        ++taken;
        return true;
    });
    if (!left) m_split = base + cut;
    return left;
}

std::shared_ptr<const TextLines> TextLines::Selected(std::shared_ptr<const TextLines> all,
                                                     std::vector<std::uint64_t> chosen) {
    std::shared_ptr<TextLines> selection(new TextLines());
    selection->m_bytes = all->m_bytes;
    selection->m_split = all->m_split;
    // A selection of a selection is one of the whole text.
    if (all->m_whole)
        for (std::uint64_t& line : chosen) line = all->m_chosen[line];
    selection->m_whole = all->m_whole ? all->m_whole : std::move(all);
    selection->m_chosen = std::move(chosen);
    return selection;
}

void TextLines::AppendLines(std::size_t first, std::size_t count, std::string& out) const {
    if (m_whole) {
        for (std::size_t i = first; i < first + count; ++i) {
            out += At(i);
            out += '\n';
        }
        return;
    }
    // Lines that follow one another, each ended by a single LF, are copied as
    // one run, their LFs with them.
    const std::size_t end = std::min(first + count, m_ends.Size());
    for (std::size_t i = first; i < end;) {
        const std::size_t runFirst = i;
        while (i < end && EndsInLf(i)) ++i;
        if (i > runFirst)
            out.append(m_bytes->data() + Offset(runFirst),
                       static_cast<std::size_t>(m_ends[i - 1] - Offset(runFirst)));
        if (i < end) {
            out += At(i);
            out += '\n';
            ++i;
        }
    }
    // Lines that went by unkept read as empty.
    if (first + count > end) out.append(first + count - std::max(first, end), '\n');
}

}  // namespace pomurina
