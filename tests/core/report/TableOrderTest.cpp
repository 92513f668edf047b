// The order of a table's rows by one column equals a plain stable sort of
// the rows: numbers as numbers, texts byte by byte (however long the prefix
// they share, zero bytes included), equal rows in their order both ways.
#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <numeric>
#include <random>

#include "report/TableOrder.h"

using namespace pomurina;

namespace {

template <typename Less>
std::vector<std::uint32_t> StableOrder(std::size_t n, Less less) {
    std::vector<std::uint32_t> rows(n);
    std::iota(rows.begin(), rows.end(), 0u);
    std::stable_sort(rows.begin(), rows.end(), less);
    return rows;
}

ColumnKeys TextColumn(const std::vector<std::string>& texts) {
    ColumnKeys column;
    for (const std::string& text : texts) AddTextRow(column, text);
    return column;
}

void ExpectTextsOrdered(const std::vector<std::string>& texts) {
    const ColumnKeys column = TextColumn(texts);
    EXPECT_EQ(OrderRows(column, false),
              StableOrder(texts.size(), [&](auto a, auto b) { return texts[a] < texts[b]; }));
    EXPECT_EQ(OrderRows(column, true),
              StableOrder(texts.size(), [&](auto a, auto b) { return texts[b] < texts[a]; }));
}

}  // namespace

TEST(TableOrder, TextsAsTheirBytesWhateverPrefixTheyShare) {
    using namespace std::string_literals;
    const std::vector<std::string> texts = {"192.168.0.10",
                                            "192.168.0.9",
                                            "",
                                            "192.168.0.10",
                                            "a",
                                            "a\0"s,
                                            "a\0\0"s,
                                            "",
                                            "crawl-66-249-66-1.googlebot.com",
                                            "crawl-66-249-66-10.googlebot.com",
                                            "crawl-66-249-66-1.googlebot.com",
                                            "crawl-66-249-66-1",
                                            "\xff\xfe",
                                            "\x80",
                                            "abcdefgh",
                                            "abcdefghi",
                                            "abcdefg",
                                            "abcdefgh\0"s,
                                            "abcdefghabcdefgh",
                                            "abcdefghabcdefgh!"};
    ExpectTextsOrdered(texts);
}

TEST(TableOrder, RandomTextsAndNumbersAgreeWithAStableSort) {
    std::mt19937 random(24);
    const std::string alphabet("ab.\0\xe3", 5);
    for (int round = 0; round < 20; ++round) {
        // Few letters and long shared prefixes: many ties at every eighth byte.
        std::vector<std::string> texts(500);
        const std::string prefix(static_cast<std::size_t>(round), 'p');
        for (std::string& text : texts) {
            text = prefix;
            for (std::size_t k = random() % 20; k > 0; --k) text += alphabet[random() % 5];
        }
        ExpectTextsOrdered(texts);

        std::vector<std::int64_t> numbers(500);
        const std::int64_t extremes[] = {std::numeric_limits<std::int64_t>::min(), -1, 0,
                                         std::numeric_limits<std::int64_t>::max()};
        for (std::int64_t& n : numbers)
            n = random() % 4 == 0 ? extremes[random() % 4]
                                  : static_cast<std::int64_t>(random() % 7) - 3 +
                                        (round % 2 ? (std::int64_t{1} << 40) : 0);
        ColumnKeys column;
        for (const std::int64_t n : numbers) column.keys.push_back(NumberKey(n));
        EXPECT_EQ(OrderRows(column, false),
                  StableOrder(500, [&](auto a, auto b) { return numbers[a] < numbers[b]; }));
        EXPECT_EQ(OrderRows(column, true),
                  StableOrder(500, [&](auto a, auto b) { return numbers[b] < numbers[a]; }));
    }
}

TEST(TableOrder, KeepsItsRoomAndSortsAgain) {
    TableOrder order;
    std::vector<std::uint32_t> rows;
    order.Order(TextColumn({"b", "a", "c", "a"}), false, rows);
    EXPECT_EQ(rows, (std::vector<std::uint32_t>{1, 3, 0, 2}));
    order.Order(TextColumn({"z", "y"}), true, rows);
    EXPECT_EQ(rows, (std::vector<std::uint32_t>{0, 1}));
    order.Order(ColumnKeys{}, false, rows);
    EXPECT_TRUE(rows.empty());
}
