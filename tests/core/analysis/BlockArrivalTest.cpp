// The pieces of the blocks a streamed run reads are finished in the order of
// the log, each once, whatever the threads, the blocks and the pieces; a
// piece after one whose classification said no more comes unclassified; and
// a finish or a reading that fails ends the run with its error, not a hang.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <mutex>
#include <stdexcept>
#include <string>
#include <vector>

#include "AnalysisTestSupport.h"
#include "analysis/BlockArrival.h"
#include "memory/MemoryBudget.h"
#include "parallel/WorkerPool.h"

using namespace pomurina;
using namespace pomurina::testing;

namespace {

// What a run's calls saw: the lines classified, in the order finished, as
// "line" or "-line" when the piece came unclassified; the logs told; the
// lines read when each piece was finished.
struct Seen {
    std::vector<std::string> lines, told;
    std::vector<std::size_t> linesRead;
};

// Runs the pipeline over paths; the classification of line stopAt says no
// more, and the finish of line failAt throws.
Seen RunPieces(const std::vector<std::string>& paths, unsigned threads, bool refuse,
               std::size_t blockBytes, std::size_t pieceLines, const std::string& stopAt = "",
               const std::string& failAt = "") {
    WorkerPool pool(WorkerPoolSettings{threads, refuse});
    const PoolOverride using_(pool);
    MemoryBudget budget({std::size_t{64} << 20, false});
    LogReading reading(paths);
    ClassifyPlan plan;
    plan.batchLines = pieceLines;
    Seen seen;
    // The lines of each piece classified, by its part.
    std::mutex mutex;
    std::map<const CountingResult*, std::vector<std::string>> pieces;
    BlockArrival::Calls calls;
    calls.told = [&](std::size_t index, bool ended) {
        seen.told.push_back(std::to_string(index) + (ended ? " ended" : " begun"));
    };
    calls.classify = [&](const std::shared_ptr<const TextLines>& lines, std::size_t first,
                         std::size_t end, ClassifiedBatch& batch) {
        batch.part = std::make_unique<CountingResult>(lines, first);
        std::vector<std::string> texts;
        for (std::size_t i = first; i < end; ++i) texts.emplace_back(lines->At(i));
        const bool more = std::find(texts.begin(), texts.end(), stopAt) == texts.end();
        const std::lock_guard lock(mutex);
        pieces[batch.part.get()] = std::move(texts);
        return more;
    };
    calls.finish = [&](ClassifiedBatch& batch, std::size_t linesRead) {
        seen.linesRead.push_back(linesRead);
        if (!batch.part) {
            seen.lines.push_back("-");
            return;
        }
        std::vector<std::string> texts;
        {
            const std::lock_guard lock(mutex);
            texts = std::move(pieces.at(batch.part.get()));
        }
        for (const std::string& text : texts) {
            seen.lines.push_back(text);
            if (text == failAt) throw std::runtime_error("finish failed");
        }
    };
    BlockArrival arrival(reading, budget, blockBytes, plan);
    arrival.Run(calls);
    return seen;
}

TEST(BlockArrival, PiecesAreFinishedInTheLogsOrder) {
    ProgramDir dir;
    std::string first, second;
    std::vector<std::string> expected;
    for (int i = 0; i < 400; ++i) {
        (i < 250 ? first : second) += "line " + std::to_string(i) + "\n";
        expected.push_back("line " + std::to_string(i));
    }
    const std::vector<std::string> paths = {dir.WriteFile("a.log", first),
                                            dir.WriteFile("b.log", second)};
    const struct {
        unsigned threads;
        bool refuse;
        std::size_t blockBytes, pieceLines;
    } kCases[] = {{2, false, 4096, 8192}, {2, false, 7, 1},   {4, false, 100, 3},
                  {3, false, 600, 2},     {2, true, 4096, 5}, {1, false, 50, 1}};
    for (const auto& c : kCases) {
        const Seen seen = RunPieces(paths, c.threads, c.refuse, c.blockBytes, c.pieceLines);
        std::vector<std::string> lines;
        for (const std::string& line : seen.lines)
            if (line != "-") lines.push_back(line);  // a block of no lines
        EXPECT_EQ(lines, expected) << c.threads << " threads, blocks of " << c.blockBytes;
        EXPECT_EQ(seen.told,
                  (std::vector<std::string>{"0 begun", "0 ended", "1 begun", "1 ended"}));
        EXPECT_TRUE(std::is_sorted(seen.linesRead.begin(), seen.linesRead.end()));
        EXPECT_EQ(seen.linesRead.back(), expected.size());
    }
}

TEST(BlockArrival, StopsClassifyingAndFailsAsItIsTold) {
    ProgramDir dir;
    std::string text;
    for (int i = 0; i < 300; ++i) text += "line " + std::to_string(i) + "\n";
    const std::string log = dir.WriteFile("a.log", text);
    const std::string missing = (dir.Path() / "missing.log").string();
    for (const bool refuse : {false, true}) {
        // Every line up to the piece that said no more; after it, the few
        // pieces other threads had begun, in order, then pieces unclassified.
        const Seen stopped = RunPieces({log}, 3, refuse, 64, 2, "line 101");
        ASSERT_GE(stopped.lines.size(), 102u);
        for (std::size_t i = 0; i <= 101; ++i)
            EXPECT_EQ(stopped.lines[i], "line " + std::to_string(i));
        std::size_t unclassified = 0;
        for (std::size_t i = 102, next = 102; i < stopped.lines.size(); ++i) {
            if (stopped.lines[i] == "-") {
                ++unclassified;
                continue;
            }
            EXPECT_EQ(unclassified, 0u) << "a piece classified after one that was not: " << i;
            EXPECT_EQ(stopped.lines[i], "line " + std::to_string(next++));
        }
        EXPECT_GT(unclassified, 0u);
        EXPECT_EQ(stopped.lines.back(), "-");
        // A finish that throws ends the run with its error, the reading stopped.
        EXPECT_THROW(RunPieces({log}, 3, refuse, 16, 1, "", "line 7"), std::runtime_error);
    }
    // A log that can't be read: the run fails at once.
    EXPECT_ANY_THROW(RunPieces({log, missing}, 2, false, 64, 2));
}

}  // namespace
