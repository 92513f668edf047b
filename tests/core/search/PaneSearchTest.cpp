// A search through a pane's lines: down and up from a place in a line,
// around the ends, a slice at a time, over header lines and shared collections.
#include <gtest/gtest.h>

#include "search/PaneSearch.h"
#include "text/Cp932.h"

using namespace pomurina;

namespace {

using Direction = PaneSearch::Direction;
using State = PaneSearch::State;
constexpr std::size_t kEnd = PaneSearch::kLineEnd;

// Header lines of the pane's own around a shared collection, as a run leaves them.
PaneLines MakePane() {
    PaneLines pane;
    pane.ReplaceAll(std::make_shared<OwnedLines>(
        std::vector<std::string>{"a host", "x", Utf8ToCp932("ホスト host"), "y", "host z host"}));
    pane.Insert(0, "header host");
    pane.Insert(1, "---");
    return pane;  // 0 header host, 1 ---, 2 a host, 3 x, 4 ホスト host, 5 y, 6 host z host
}

struct Found {
    std::size_t line, start;
    bool wrapped;
    bool operator==(const Found&) const = default;
};

std::optional<Found> Search(const PaneLines& pane, Direction direction, std::size_t line,
                            std::size_t offset, const char* needle = "host") {
    PaneSearch search(TextFinder(needle, true), direction, line, offset, pane.Count());
    if (search.Step(pane, 1000) != State::Found) return std::nullopt;
    return Found{search.Match().line, search.Match().at.start, search.Wrapped()};
}

TEST(PaneSearch, DownFromAPlaceThenAroundToTheTop) {
    const PaneLines pane = MakePane();
    EXPECT_EQ(Search(pane, Direction::Forward, 0, 0), (Found{0, 7, false}));
    EXPECT_EQ(Search(pane, Direction::Forward, 0, 8), (Found{2, 2, false}));
    EXPECT_EQ(Search(pane, Direction::Forward, 4, 1), (Found{4, 7, false}));  // 1: inside ホ
    EXPECT_EQ(Search(pane, Direction::Forward, 4, 8), (Found{6, 0, false}));
    EXPECT_EQ(Search(pane, Direction::Forward, 6, 1), (Found{6, 7, false}));
    EXPECT_EQ(Search(pane, Direction::Forward, 6, 8), (Found{0, 7, true}));
    // Only the start line holds it, before the start: found after going round.
    EXPECT_EQ(Search(pane, Direction::Forward, 4, 2, "\x83\x7A"), (Found{4, 0, true}));
    // No current line: from the top.
    EXPECT_EQ(Search(pane, Direction::Forward, 99, 0), (Found{0, 7, false}));
}

TEST(PaneSearch, UpFromAPlaceThenAroundToTheBottom) {
    const PaneLines pane = MakePane();
    EXPECT_EQ(Search(pane, Direction::Backward, 6, kEnd), (Found{6, 7, false}));
    EXPECT_EQ(Search(pane, Direction::Backward, 6, 7), (Found{6, 0, false}));
    EXPECT_EQ(Search(pane, Direction::Backward, 6, 0), (Found{4, 7, false}));
    EXPECT_EQ(Search(pane, Direction::Backward, 0, 7), (Found{6, 7, true}));
    EXPECT_EQ(Search(pane, Direction::Backward, 2, 0, "x"), (Found{3, 0, true}));
    EXPECT_EQ(Search(pane, Direction::Backward, 99, 0), (Found{6, 7, false}));
}

TEST(PaneSearch, NotFoundAfterEveryLineOnceAndTheStartLineTwice) {
    const PaneLines pane = MakePane();
    for (const Direction direction : {Direction::Forward, Direction::Backward}) {
        PaneSearch search(TextFinder("absent", false), direction, 3, 0, pane.Count());
        std::size_t steps = 0;
        while (search.Step(pane, 1) == State::Running) ++steps;
        EXPECT_EQ(search.Current(), State::NotFound);
        EXPECT_EQ(steps, pane.Count() + 1);
    }
    EXPECT_EQ(PaneSearch(TextFinder("x", true), Direction::Forward, 0, 0, 0).Current(),
              State::NotFound);
    EXPECT_EQ(Search(pane, Direction::Forward, 0, 0, ""), std::nullopt);
}

TEST(PaneSearch, GoesOnWhereTheLastSliceStopped) {
    PaneLines pane;
    for (int i = 0; i < 100; ++i) pane.Append("line " + std::to_string(i));
    pane.Append("the end");
    PaneSearch search(TextFinder("END", false), Direction::Forward, 0, 0, pane.Count());
    int slices = 0;
    while (search.Step(pane, 7) == State::Running) ++slices;
    EXPECT_EQ(slices, 100 / 7);
    EXPECT_EQ(search.Match(), (PaneMatch{100, {4, 3}}));
    // A pane that shrank under the search: the lines gone are empty.
    PaneLines shorter;
    shorter.Append("short");
    PaneSearch stale(TextFinder("end", true), Direction::Forward, 0, 0, pane.Count());
    EXPECT_EQ(stale.Step(shorter, 1000), State::NotFound);
}

}  // namespace
