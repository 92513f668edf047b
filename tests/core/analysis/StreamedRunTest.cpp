// A run that reads its logs in blocks (the report tool's) shows what the run
// holding them whole shows, every pane but the raw log's lines (it keeps
// their count only): with or without a thread to read on, for every block
// and piece size, with failing lines, and as the whole run keeps failing for
// memory.
#include <gtest/gtest.h>

#include <sstream>

#include "AnalysisTestSupport.h"
#include "analysis/LogCounting.h"
#include "parallel/WorkerPool.h"
#include "text/Cp932.h"

using namespace pomurina;
using namespace pomurina::testing;

namespace {

// The dump without the raw log's lines (its count stays).
std::string WithoutRawLines(const std::string& dump) {
    std::istringstream in(dump);
    std::string kept, line;
    bool raw = false;
    while (std::getline(in, line)) {
        if (line.starts_with("pane ")) raw = line.starts_with("pane NamaLog ");
        if (!raw || line.starts_with("pane ")) kept += line + "\n";
    }
    return kept;
}

std::string RunDump(const std::string& path, const ProgramDir& dir, const ClassifyPlan& plan) {
    MemoryWindow window;
    return WithoutRawLines(DumpAfterRun(window, [&] {
        LogCounting(window, path, RunPlaces{dir.Path().string(), "materia"}, plan);
    }));
}

TEST(StreamedRun, ShowsWhatTheWholeRunShowsWithAndWithoutAThreadToReadOn) {
    ProgramDir dir(ProgramDir::Materia::Defaults);
    dir.WriteList("CheckDomeinList.dat", {"docomo", "example"});
    const std::string generated = (dir.Path() / "generated.log").string();
    ASSERT_EQ(std::system((std::string(POMURINA_GENLOG) + " --variety --lines 3000 --seed 5 > '" +
                           generated + "'")
                              .c_str()),
              0);
    std::string text = ReadFileBytes(generated);
    text.insert(text.find('\n', text.size() / 2) + 1,
                "1.2.3.4 - - [06/Dec/2026:1x:00:00] \"GET /\"\r\n");
    const std::string failing = dir.WriteFile("failing.log", text);
    for (const std::string& log : {generated, failing}) {
        const std::string whole = RunDump(log, dir, {});
        EXPECT_EQ(whole.find("\nerror ") != std::string::npos, log == failing);
        // Pieces of a block classified on three threads while later blocks
        // arrive; one line a block; no thread to read on.
        const struct {
            unsigned threads;
            bool refuse;
            std::size_t blockBytes, pieceLines;
        } kCases[] = {{2, false, 4096, 8192}, {2, false, 7, 8192},   {3, false, 4096, 3},
                      {3, false, 600, 1},     {2, true, 4096, 8192}, {2, true, 7, 2}};
        for (const auto& c : kCases) {
            WorkerPool pool(WorkerPoolSettings{c.threads, c.refuse});
            const PoolOverride using_(pool);
            ClassifyPlan plan;
            plan.blockBytes = c.blockBytes;
            plan.batchLines = c.pieceLines;
            EXPECT_EQ(RunDump(log, dir, plan), whole)
                << log << ", " << c.threads << " threads" << (c.refuse ? " refused" : "")
                << ", blocks of " << c.blockBytes << " bytes, pieces of " << c.pieceLines;
        }
    }
}

TEST(StreamedRun, AShortageOfMemoryEndsTheRunAsAFailedLoad) {
    ProgramDir dir;
    std::string text;
    for (int i = 0; i < 20000; ++i)
        text += "192.0.2." + std::to_string(i % 250) +
                " - - [06/Dec/2026:09:15:02 +0900] \"GET /p" + std::to_string(i) +
                " HTTP/1.1\" 404 9 \"-\" \"a\"\n";
    const std::string log = dir.WriteFile("many.log", text);
    const ScopedRunMemory budget(std::size_t{1} << 20);
    ClassifyPlan plan;
    plan.blockBytes = 4096;
    MemoryWindow window;
    const auto error = ErrorOf([&] {
        LogCounting(window, log, RunPlaces{dir.Path().string(), "materia"}, plan);
    });
    ASSERT_TRUE(error);
    EXPECT_NE(error->find(Utf8ToCp932("many.log\" を読み込むにはメモリが不足しています")),
              std::string::npos)
        << Cp932ToUtf8(*error);
    // What the whole lists kept is what the budget stopped: the panes stay as they were.
    EXPECT_EQ(window.GetPane(PaneId::Memo8).Lines().Count(), 0u);
}

}  // namespace
