#include "MainWindowFixture.h"

#include <QAbstractItemView>

#include "analysis/LogCounting.h"

namespace pomurina::guitest {

std::optional<std::string> MainWindowTest::Run(const std::string& path) {
    const auto error = ErrorOf([&] { form.LogCounting(path); });
    const auto expected = ErrorOf([&] {
        LogCounting(reference, path, RunPlaces{home.Path().string(), "materia"});
    });
    EXPECT_EQ(error, expected);
    return error;
}

void MainWindowTest::ExpectSameStateAsReference(const std::optional<std::string>& error) {
    EXPECT_EQ(DumpOf(form, error), DumpOf(reference, error));
}

void MainWindowTest::ExpectViewsCaughtUp() {
    for (int p = 0; p < kPaneCount; ++p) {
        const auto id = static_cast<PaneId>(p);
        auto& pane = dynamic_cast<QAbstractItemView&>(form.GetPane(id));
        EXPECT_EQ(static_cast<std::size_t>(pane.model()->rowCount()), form.GetPane(id).Count())
            << PaneName(id);
    }
}

}  // namespace pomurina::guitest
