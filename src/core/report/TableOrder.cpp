#include "report/TableOrder.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <utility>

namespace pomurina {
// A stable sort of the entries by key, a byte at a time from the lowest; a
// byte that is the same in every key takes no pass.
void TableOrder::RadixSort() {
    std::vector<Entry>& entries = m_entries;
    std::vector<Entry>& other = m_other;
    constexpr std::size_t kBytes = 8;
    std::array<std::array<std::size_t, 256>, kBytes> counts{};
    for (const Entry& e : entries)
        for (std::size_t b = 0; b < kBytes; ++b) ++counts[b][(e.key >> (8 * b)) & 0xFF];
    other.resize(entries.size());
    for (std::size_t b = 0; b < kBytes; ++b) {
        std::array<std::size_t, 256>& count = counts[b];
        if (std::find(count.begin(), count.end(), entries.size()) != count.end()) continue;
        std::size_t at = 0;
        for (std::size_t& c : count) at += std::exchange(c, at);
        for (const Entry& e : entries) other[count[(e.key >> (8 * b)) & 0xFF]++] = e;
        entries.swap(other);
    }
}

std::uint64_t TextKey(std::string_view text) {
    std::uint64_t key = 0;
    for (std::size_t k = 0; k < 8; ++k)
        key = key << 8 | (k < text.size() ? static_cast<unsigned char>(text[k]) : 0u);
    return key;
}

void AddTextRow(ColumnKeys& column, std::string_view text) {
    column.texts.push_back(text);
    column.keys.push_back(TextKey(text));
    column.nextKeys.push_back(text.size() > 8 ? TextKey(text.substr(8)) : 0);
    column.sizes.push_back(
        static_cast<std::uint32_t>(std::min<std::size_t>(text.size(), UINT32_MAX)));
}

void TableOrder::OrderTies(const std::vector<std::string_view>& texts, bool descending) {
    // Runs of equal keys are told apart by the texts' next eight bytes, and
    // so on: each text is read once a round, not once a comparison.  Each
    // run is in row order, and the row decides between equal keys.
    struct Run {
        std::size_t start, end, offset;
    };
    std::vector<Run> runs;
    const auto pushRuns = [&](std::size_t start, std::size_t end, std::size_t offset) {
        for (std::size_t from = start; from < end;) {
            std::size_t to = from + 1;
            while (to < end && m_entries[to].key == m_entries[from].key) ++to;
            if (to - from > 1) runs.push_back({from, to, offset});
            from = to;
        }
    };
    const auto byKeyThenRow = [](const Entry& a, const Entry& b) {
        return a.key != b.key ? a.key < b.key : a.row < b.row;
    };
    pushRuns(0, m_entries.size(), 8);
    while (!runs.empty()) {
        const Run run = runs.back();
        runs.pop_back();
        const auto first = m_entries.begin() + static_cast<std::ptrdiff_t>(run.start);
        const auto last = m_entries.begin() + static_cast<std::ptrdiff_t>(run.end);
        bool longer = false;  // whether a text goes on past the bytes compared
        for (auto e = first; e != last; ++e) {
            longer = longer || e->size > run.offset;
            if (run.offset == 8) {
                e->key = e->nextKey;
            } else {
                const std::string_view text = texts[e->row];
                e->key = TextKey(text.size() > run.offset ? text.substr(run.offset)
                                                          : std::string_view());
            }
        }
        if (!longer) {
            // Equal but for zero bytes at their ends: the shorter first.
            for (auto e = first; e != last; ++e) e->key = e->size;
        }
        if (descending)
            for (auto e = first; e != last; ++e) e->key = ~e->key;
        std::sort(first, last, byKeyThenRow);
        if (longer) pushRuns(run.start, run.end, run.offset + 8);
    }
}

void TableOrder::Order(const ColumnKeys& column, bool descending,
                       std::vector<std::uint32_t>& rows) {
    const std::size_t n = column.keys.size();
    std::vector<Entry>& entries = m_entries;
    entries.resize(n);
    const bool texts = !column.texts.empty();
    for (std::size_t r = 0; r < n; ++r)
        entries[r] = {descending ? ~column.keys[r] : column.keys[r], texts ? column.nextKeys[r] : 0,
                      static_cast<std::uint32_t>(r), texts ? column.sizes[r] : 0};
    RadixSort();
    if (texts) OrderTies(column.texts, descending);
    rows.resize(n);
    for (std::size_t r = 0; r < n; ++r) rows[r] = entries[r].row;
}

std::vector<std::uint32_t> OrderRows(const ColumnKeys& column, bool descending) {
    std::vector<std::uint32_t> rows;
    TableOrder().Order(column, descending, rows);
    return rows;
}

}  // namespace pomurina
