// Counting a text's matches in a pane and one match's place among them,
// whole or a slice of lines at a time.
#include <gtest/gtest.h>

#include "search/PaneMatchCount.h"
#include "text/Cp932.h"

using namespace pomurina;

namespace {

TEST(PaneMatchCount, CountsAsNextStepsAndPlacesTheMatch) {
    PaneLines pane;
    pane.ReplaceAll(std::make_shared<OwnedLines>(
        std::vector<std::string>{"aaaa", Utf8ToCp932("ア host"), "", "host host", "HOST"}));
    pane.Insert(0, "header host");  // a line of the pane's own counts too
    // 0 header host, 1 aaaa, 2 ア host, 3 "", 4 host host, 5 HOST
    const struct {
        const char* needle;
        bool matchCase;
        PaneMatch match;
        std::size_t total, place;
    } cases[] = {
        {"host", true, {0, {7, 4}}, 4, 1},
        {"host", true, {4, {5, 4}}, 4, 4},
        {"host", false, {5, {0, 4}}, 5, 5},
        {"aa", true, {1, {2, 2}}, 2, 2},  // "aaaa" holds two, not three
        {"A", true, {0, {0, 1}}, 0, 1},   // never the second byte of ア
        {"", true, {0, {0, 0}}, 0, 1},
        {"absent", true, {0, {0, 0}}, 0, 1},
    };
    for (const auto& c : cases) {
        for (const std::size_t budget : {std::size_t{1}, std::size_t{2}, std::size_t{1000}}) {
            SCOPED_TRACE(std::string(c.needle) + " by " + std::to_string(budget));
            PaneMatchCount count(TextFinder(c.needle, c.matchCase), pane.Count(), c.match);
            std::size_t steps = 1;
            while (!count.Step(pane, budget)) ++steps;
            EXPECT_EQ(count.Total(), c.total);
            EXPECT_EQ(count.Place(), c.place);
            EXPECT_LE(steps, pane.Count() / budget + 1);
        }
    }
    // A pane that shrank under the count: the missing lines are empty.
    PaneMatchCount count(TextFinder("host", true), 10, {0, {7, 4}});
    EXPECT_TRUE(count.Step(pane, 100));
    EXPECT_EQ(count.Total(), 4u);
}

}  // namespace
