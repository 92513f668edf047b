#pragma once
// The order of a table's rows by one column, for a window that sorts tables
// of millions of rows: one 64-bit key a row (a number, or the first eight
// bytes of a text read big-endian, the whole text deciding ties), sorted by
// a radix sort, which is stable: rows with equal keys keep their order, in
// both directions.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pomurina {

// The keys of one column, a row each.
struct ColumnKeys {
    std::vector<std::uint64_t> keys;
    // The texts of a column of texts (empty for numbers): they decide
    // between rows whose keys are equal.  Their next eight bytes and their
    // sizes are kept beside the keys: most ties are settled by these, without
    // a look at texts scattered over the memory.
    std::vector<std::string_view> texts;
    std::vector<std::uint64_t> nextKeys;
    std::vector<std::uint32_t> sizes;
    // Texts made for the column (names in UTF-8), seen through texts.
    std::vector<std::string> owned;
};

// The key of a number: its order as an unsigned number.
inline std::uint64_t NumberKey(std::int64_t number) {
    return static_cast<std::uint64_t>(number) ^ (std::uint64_t{1} << 63);
}

// The key of a text: its first eight bytes, big-endian, zeros after its end.
std::uint64_t TextKey(std::string_view text);

// Adds the next row to a column of texts; text must outlive the column.
void AddTextRow(ColumnKeys& column, std::string_view text);

// Orders the rows of a table, keeping its room from one sort to the next:
// a table of millions of rows is sorted again and again, and fresh memory
// costs more than the sort.
class TableOrder {
public:
    // rows becomes the rows 0 .. n - 1 by their keys, ascending or
    // descending; rows whose keys (and texts) are equal keep their order.
    void Order(const ColumnKeys& column, bool descending, std::vector<std::uint32_t>& rows);

private:
    struct Entry {
        std::uint64_t key;
        std::uint64_t nextKey;  // of a text: its bytes 8 to 15
        std::uint32_t row;
        std::uint32_t size;  // of a text, at most 2^32 - 1
    };
    void RadixSort();
    // Orders the runs of equal keys by the whole texts.
    void OrderTies(const std::vector<std::string_view>& texts, bool descending);

    std::vector<Entry> m_entries, m_other;
};

// The rows 0 .. n - 1 by their keys (see TableOrder::Order).
std::vector<std::uint32_t> OrderRows(const ColumnKeys& column, bool descending);

}  // namespace pomurina
