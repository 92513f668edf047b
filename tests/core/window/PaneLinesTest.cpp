// A pane's lines: inserts, appends and shared collections.
#include <gtest/gtest.h>

#include "AnalysisTestSupport.h"
#include "window/Pane.h"

using namespace pomurina;
using namespace pomurina::testing;
using V = std::vector<std::string>;

TEST(PaneLines, InsertAtTheLineCountAppends) {
    PaneLines pane;
    pane.Insert(0, "only");
    EXPECT_EQ(pane.ToVector(), V{"only"});
    pane.Insert(1, "second");
    EXPECT_EQ(pane.ToVector(), (V{"only", "second"}));
    pane.Insert(1, "middle");
    EXPECT_EQ(pane.ToVector(), (V{"only", "middle", "second"}));
    pane.Clear();
    EXPECT_EQ(pane.Count(), 0u);
}

TEST(PaneLines, HeadersGoAboveASharedCollectionWithoutCopyingIt) {
    const auto collection = std::make_shared<OwnedLines>(V{"a", "b", "c"});
    PaneLines pane;
    pane.Append("stale");
    pane.ReplaceAll(collection);
    pane.Insert(0, "title");
    pane.Insert(1, "columns");
    pane.Insert(2, "rule");
    EXPECT_EQ(pane.ToVector(), (V{"title", "columns", "rule", "a", "b", "c"}));
    pane.Insert(4, "split");
    EXPECT_EQ(pane.ToVector(), (V{"title", "columns", "rule", "a", "split", "b", "c"}));
    std::string scratch;
    EXPECT_EQ(pane.Line(6, scratch), "c");
    EXPECT_EQ(pane.Length(4), 5u);
}

TEST(PaneLines, LiveEntriesJoinTheirCollection) {
    const auto collection = std::make_shared<OwnedLines>(V{"x", "y", "z"});
    PaneLines pane;
    pane.Append("header");
    for (std::size_t i = 0; i < 3; ++i) pane.AppendFrom(collection, i);
    pane.Append("footer");
    EXPECT_EQ(pane.ToVector(), (V{"header", "x", "y", "z", "footer"}));
    pane.ReplaceAll(std::make_shared<OwnedLines>());
    EXPECT_EQ(pane.Count(), 0u);
}
