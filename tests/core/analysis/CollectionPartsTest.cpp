// The pieces a run on several cores is built of: collections joined from
// parts, distinct texts offered from a later part, lines written in runs,
// and numbered work finished in order.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>

#include "AnalysisTestSupport.h"
#include "analysis/DistinctList.h"
#include "analysis/EntryList.h"
#include "parallel/OrderedWork.h"
#include "text/TextLines.h"
#include "window/PaneLines.h"

using namespace pomurina;
using namespace pomurina::testing;
using V = std::vector<std::string>;

namespace {

// A log of n numbered lines and lists over its bytes.
struct Numbered {
    explicit Numbered(std::size_t n) {
        std::string text;
        for (std::size_t i = 0; i < n; ++i) text += "line" + std::to_string(i) + " tail\n";
        lines = std::make_shared<const TextLines>(text);
    }
    std::shared_ptr<EntryList> List() const {
        // Two forms: "<" first word ">" and the word alone.
        return std::make_shared<EntryList>(lines->Bytes(),
                                           std::vector<EntryList::Form>{{{"<", ">"}}, {{"", ""}}});
    }
    void Fill(EntryList& list, std::size_t from, std::size_t to) const {
        for (std::size_t i = from; i < to; ++i) {
            const std::string_view line = lines->At(i);
            list.Add(static_cast<unsigned>(i % 2), line, {line.substr(0, line.find(' '))});
        }
    }
    std::shared_ptr<const TextLines> lines;
};

V Appended(const LineSource& source, std::size_t first, std::size_t count) {
    std::string out;
    source.AppendLines(first, count, out);
    V lines;
    for (std::size_t at = 0; at < out.size();) {
        const std::size_t end = out.find('\n', at);
        lines.push_back(out.substr(at, end - at));
        at = end + 1;
    }
    return lines;
}

V Slice(const V& lines, std::size_t first, std::size_t count) {
    return V(lines.begin() + static_cast<std::ptrdiff_t>(first),
             lines.begin() + static_cast<std::ptrdiff_t>(first + count));
}

}  // namespace

TEST(EntryListParts, JoinedPartsReadAsOneList) {
    // Parts small enough to be copied and large enough to be taken over,
    // across the chunks a list keeps (65,536 entries each).
    const Numbered log(200000);
    const auto whole = log.List();
    log.Fill(*whole, 0, 200000);
    const V expected = LinesOf(*whole);
    ASSERT_EQ(expected[7], "line7");
    ASSERT_EQ(expected[8], "<line8>");

    // Parts joined as they were filled or settled (packed) first, and the
    // joined list itself settled now and then, new entries going on after.
    struct Step {
        std::size_t to;
        bool settlePart, settleJoined;
    };
    const auto joined = log.List();
    std::size_t from = 0;
    for (const Step step : {Step{3, false, false}, Step{1027, true, true}, Step{1028, false, false},
                            Step{70000, true, false}, Step{70001, false, true},
                            Step{140000, false, false}, Step{200000, true, false}}) {
        EntryList part(log.lines->Bytes(), {{{"<", ">"}}, {{"", ""}}});
        log.Fill(part, from, step.to);
        if (step.settlePart) part.Settle();
        joined->Join(std::move(part));
        if (step.settleJoined) joined->Settle();
        EXPECT_EQ(part.Count(), 0u);
        from = step.to;
    }
    ASSERT_EQ(joined->Count(), 200000u);
    EXPECT_EQ(LinesOf(*joined), expected);
    // Packed, entries take a third of the room or less.
    const auto packed = log.List();
    log.Fill(*packed, 0, 65536);
    const std::size_t growing = packed->Footprint();
    packed->Settle();
    EXPECT_LT(packed->Footprint(), growing / 3);
    EXPECT_EQ(LinesOf(*packed), Slice(expected, 0, 65536));
    // Runs of lines across the joins, and entries copied one by one.
    EXPECT_EQ(Appended(*joined, 1020, 60000), Slice(expected, 1020, 60000));
    EXPECT_EQ(Appended(*joined, 139999, 2), Slice(expected, 139999, 2));
    EntryList copies(log.lines->Bytes(), {{{"<", ">"}}, {{"", ""}}});
    for (const std::size_t i : std::initializer_list<std::size_t>{0, 69999, 70000, 199999})
        copies.AddFrom(*joined, i);
    EXPECT_EQ(LinesOf(copies), (V{"<line0>", "line69999", "<line70000>", "line199999"}));
    EXPECT_EQ(copies.Length(1), 9u);

    // A list that keeps its first entries only, of parts that keep no more
    // than it has room for: the rest are counted and read as empty.
    for (const std::size_t keep : {0u, 2u, 1500u}) {
        EntryList kept(nullptr, {{{"<", ">"}}, {{"", ""}}});
        kept.KeepAtMost(keep);
        for (std::size_t at = 0; at < 200000; at += 1000) {
            EntryList part(log.lines->Bytes(), {{{"<", ">"}}, {{"", ""}}});
            part.KeepAtMost(kept.RoomKept());
            log.Fill(part, at, at + 1000);
            kept.Join(std::move(part));
        }
        ASSERT_EQ(kept.Count(), 200000u);
        V read = Slice(expected, 0, keep);
        read.resize(200000);
        EXPECT_EQ(LinesOf(kept), read);
    }
}

TEST(EntryListParts, EntriesOfLongLinesAndInAnyOrderReadAsAdded) {
    // A piece's place is kept in 16 bits: lines of 64 KiB and more are kept
    // whole.  Entries in any order of their lines; a copy, a list of copies
    // and a join of each read the same.
    std::string text;
    for (const std::size_t length : {30u, 65535u, 65536u, 200000u, 40u, 70000u}) {
        const std::string host = "h" + std::to_string(length) + " ";
        text += host + std::string(length - host.size() - 3, 'x') + " /p\n";
    }
    const auto lines = std::make_shared<const TextLines>(text);
    const std::vector<EntryList::Form> forms{{{"[", "] ", ""}}, {{"", " ", "!"}}};
    EntryList list(lines->Bytes(), forms);
    V expected;
    for (const std::size_t i : {0u, 5u, 1u, 4u, 3u, 2u, 0u, 4u}) {
        const std::string_view line = lines->At(i);
        const std::string_view host = line.substr(0, line.find(' '));
        const std::string_view path = line.substr(line.rfind(' ') + 1);
        const unsigned form = i % 2;
        list.Add(form, line, {host, path});
        expected.push_back(form == 0 ? "[" + std::string(host) + "] " + std::string(path)
                                     : std::string(host) + " " + std::string(path) + "!");
    }
    EntryList copied(lines->Bytes(), forms), copies(nullptr, forms);
    for (std::size_t i = 0; i < list.Count(); ++i) {
        copied.AddFrom(list, i);
        copies.AddFrom(list, i);
        // Settled (packed) entries read the same, kept whole or not.
        if (i == 2) copies.Settle();
    }
    list.Settle();
    EntryList joined(lines->Bytes(), forms), joinedCopies(nullptr, forms);
    joined.Join(std::move(copied));
    joinedCopies.Join(std::move(copies));
    for (const EntryList* read : {&list, &joined, &joinedCopies}) {
        EXPECT_EQ(LinesOf(*read), expected);
        for (std::size_t i = 0; i < expected.size(); ++i)
            EXPECT_EQ(read->Length(i), expected[i].size());
    }
    ASSERT_EQ(lines->At(1).size(), 65535u);
    EXPECT_EQ(list.Piece(0, 0), "h30");
    EXPECT_EQ(list.Piece(2, 1), "/p");  // a line of 65,535 bytes: its pieces in place
    EXPECT_EQ(list.Piece(5, 1), "");    // of 65,536: kept whole
    EXPECT_EQ(Appended(joinedCopies, 2, 3), Slice(expected, 2, 3));
}

TEST(DistinctListParts, ALaterPartAddsOnlyItsNewTextsInItsOrder) {
    const auto lines =
        std::make_shared<const TextLines>(std::string("pc-01\nA\nb\nPC-01\nc\na\nB\nd\nC\n"));
    DistinctList earlier(lines->Bytes()), later(lines->Bytes());
    for (std::size_t i = 0; i < 3; ++i) earlier.AddIfNew(lines->At(i), lines->At(i));
    for (std::size_t i = 3; i < lines->Count(); ++i) later.AddIfNew(lines->At(i), lines->At(i));
    EXPECT_EQ(earlier.Absorb(later), 2u);
    EXPECT_EQ(LinesOf(*earlier.Entries()), (V{"pc-01", "A", "b", "c", "d"}));
    // Texts met again, in their first form or another, are held already.
    EXPECT_FALSE(earlier.AddIfNew(lines->At(8), lines->At(8)));
    EXPECT_FALSE(earlier.AddIfNew(lines->At(3), lines->At(3)));
}

TEST(LineRuns, AppendedLinesEqualTheLinesWhateverTheirEnds) {
    const std::string text = "a\nbb\r\nccc\rd\n\r\ne\n\nf";
    const TextLines lines(text);
    const V all = LinesOf(lines);
    ASSERT_EQ(all, (V{"a", "bb", "ccc", "d", "", "e", "", "f"}));
    for (std::size_t first = 0; first < all.size(); ++first)
        for (std::size_t count = 0; first + count <= all.size(); ++count)
            ASSERT_EQ(Appended(lines, first, count), Slice(all, first, count)) << first << count;

    // A pane of headers and shared ranges writes the same as line by line.
    PaneLines pane;
    const auto shared = std::make_shared<const TextLines>(text);
    pane.Append("head");
    pane.AppendRange(shared, 1, 3);
    pane.AppendRange(shared, 4, 2);  // joins the range before
    pane.Insert(2, "inside");
    pane.AppendRange(shared, 0, 1);
    const V expected{"head", "bb", "inside", "ccc", "d", "", "e", "a"};
    EXPECT_EQ(pane.ToVector(), expected);
    std::string out;
    pane.AppendLines(1, 6, out);
    EXPECT_EQ(out, "bb\ninside\nccc\nd\n\ne\n");
}

TEST(OrderedWork, PiecesFinishInOrderAndAFailingPieceEndsTheRun) {
    for (const unsigned threads : {1u, 2u, 4u}) {
        // Pieces done wait to be finished only a few at a time.
        std::vector<std::size_t> finished;
        std::atomic<int> waiting{0}, most{0};
        RunOrdered(
            {50, threads, 3},
            [&](std::size_t k) {
                if (k % 7 == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
                const int now = ++waiting;
                for (int seen = most.load();
                     now > seen && !most.compare_exchange_weak(seen, now);) {
                }
                return true;
            },
            [&](std::size_t k) {
                --waiting;
                finished.push_back(k);
            });
        ASSERT_EQ(finished.size(), 50u);
        for (std::size_t k = 0; k < 50; ++k) EXPECT_EQ(finished[k], k);
        EXPECT_LE(most.load(), 3 + static_cast<int>(threads));

        // Piece 17 fails: nothing after it is finished, everything before it is.
        finished.clear();
        RunOrdered(
            {50, threads, 0}, [&](std::size_t k) { return k != 17 && k != 30; },
            [&](std::size_t k) { finished.push_back(k); });
        EXPECT_EQ(finished.size(), 18u);
        EXPECT_EQ(finished.back(), 17u);

        // An exception from finishing stops the run and comes through.
        EXPECT_THROW(RunOrdered(
                         {50, threads, 2}, [](std::size_t) { return true; },
                         [](std::size_t k) {
                             if (k == 5) throw std::runtime_error("stop");
                         }),
                     std::runtime_error);
    }
    RunOrdered(
        {0, 2, 0}, [](std::size_t) { return true; }, [](std::size_t) { FAIL(); });
}
