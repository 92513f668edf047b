// The text of a run's logs once the run has failed: what arrives after is
// counted, not kept, and the count of lines is what keeping it would give,
// wherever the failure falls (inside a CR LF, between logs) and however
// the bytes arrive; the text itself stays within its budget.
#include <gtest/gtest.h>

#include "Errors.h"
#include "io/LogText.h"
#include "text/TextLines.h"

using namespace pomurina;

namespace {

constexpr std::size_t MiB = std::size_t{1} << 20;

TEST(LogText, LinesCountedAfterAFailureAreThoseKeepingWouldGive) {
    const std::vector<std::string> logs = {"a\r\nb\rc\n\rd\n\ne\r\r\nlast", "\r\nnext\r", "x"};
    std::string whole;
    for (const std::string& log : logs) {
        if (!whole.empty() && whole.back() != '\r' && whole.back() != '\n') whole += '\n';
        whole += log;
    }
    const std::size_t expected = TextLines(std::string_view(whole)).Count();
    for (const std::size_t piece : {std::size_t{1}, std::size_t{2}, std::size_t{5}}) {
        for (std::size_t failAt = 0; failAt <= whole.size(); ++failAt) {
            SCOPED_TRACE("piece " + std::to_string(piece) + ", failing at " +
                         std::to_string(failAt));
            MemoryBudget budget({MiB, false});
            LogText text(budget);
            const std::shared_ptr<TextLines> lines = TextLines::Arriving(text.Bytes());
            std::size_t written = 0;
            bool failed = false;
            const auto failIfDue = [&] {
                if (failed || written < failAt) return;
                // The run takes the lines that have arrived, fails, and keeps no more.
                failed = true;
                lines->Extend(text.Length(), false);
                text.KeepNoMore();
            };
            failIfDue();
            for (std::size_t i = 0; i < logs.size(); ++i) {
                if (i > 0) text.BeginNextLog();
                for (std::size_t at = 0; at < logs[i].size(); at += piece) {
                    text.Append(std::string_view(logs[i]).substr(at, piece));
                    written += std::min(piece, logs[i].size() - at);
                    failIfDue();
                }
            }
            // Past the end: the run took every line, the last one too, and failed then.
            if (!failed) lines->Extend(text.Length(), true);
            text.Finish();
            EXPECT_EQ(lines->Count() + text.LinesAfter(lines->Taken()), expected);
            EXPECT_EQ(text.LinesAfter(0), expected);
        }
    }
}

TEST(LogText, WhatTheBudgetCantHoldIsRefusedAndWhatIsCountedTakesNoRoom) {
    MemoryBudget budget({MiB, false});
    LogText text(budget);
    text.Append(std::string(MiB - 10, 'x'));
    text.KeepNoMore();
    // Counted: the text stays where it was, however much arrives.
    for (int i = 0; i < 64; ++i) text.Append(std::string(MiB / 4, '\n'));
    EXPECT_EQ(text.Length(), MiB - 10);
    EXPECT_LE(budget.Charged(), MiB);
    EXPECT_EQ(text.LinesAfter(0), 16 * MiB);

    MemoryBudget small({MiB, false});
    LogText kept(small);
    small.SetLogName("b.log");
    kept.Append(std::string(MiB, 'y'));
    try {
        kept.Append("z");
        FAIL() << "no room, yet nothing said";
    } catch (const MemoryShortageError& e) {
        EXPECT_EQ(e.Message(), MemoryShortageText("b.log", MiB + 1, MiB));
    }
}

}  // namespace
