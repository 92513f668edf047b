// The logs cut into blocks of whole lines: whatever the block size and
// however the bytes arrive, the blocks' lines are those of the text held
// whole (CR, LF, CR LF, LF CR as two, zero bytes, a last line without its
// end, logs joined), each block ends at a line end, and the rooms stay
// charged to the budget only while they are held.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "io/LogBlocks.h"
#include "text/TextLines.h"

using namespace pomurina;

namespace {

std::vector<std::string> Lines(const TextLines& lines) {
    std::vector<std::string> all;
    for (std::size_t i = 0; i < lines.Count(); ++i) all.emplace_back(lines.At(i));
    return all;
}

TEST(LogBlocks, BlocksHoldTheLinesOfTheWholeText) {
    const std::string longLine(50, 'L'), zeros("y\0z\0\n", 5);
    std::vector<std::vector<std::string>> runs = {
        {"a\r\nb\rc\n\rd\n\ne\r\r\nlast"},
        {"\r\nnext\r", "\nx", zeros},
        {"", "\n", "one"},
        {"\r", "\r", "\n"},
    };
    runs.push_back({longLine + "\r", longLine, "\r\n"});
    for (const auto& logs : runs) {
        std::string whole;
        for (const std::string& log : logs) {
            if (!whole.empty() && whole.back() != '\r' && whole.back() != '\n') whole += '\n';
            whole += log;
        }
        const std::vector<std::string> expected = Lines(TextLines(std::string_view(whole)));
        for (const std::size_t block : {1u, 2u, 3u, 7u, 16u, 4096u}) {
            for (const std::size_t piece : {1u, 3u, 64u}) {
                SCOPED_TRACE("block " + std::to_string(block) + ", piece " + std::to_string(piece) +
                             ": " + logs.front());
                MemoryBudget budget({std::size_t{1} << 20, false});
                std::vector<std::string> got;
                {
                    LogBlocks blocks(budget, block, 2,
                                     [&](const std::shared_ptr<ByteBuffer>& bytes, std::size_t n) {
                                         auto lines = TextLines::Arriving(bytes);
                                         lines->Extend(n, true);
                                         for (std::string& line : Lines(*lines))
                                             got.push_back(std::move(line));
                                         const char last = bytes->data()[n - 1];
                                         EXPECT_TRUE(last == '\n' || last == '\r' ||
                                                     got.size() == expected.size());
                                         blocks.GiveBack(bytes);
                                     });
                    for (std::size_t k = 0; k < logs.size(); ++k) {
                        if (k > 0) blocks.BeginNextLog();
                        for (std::size_t at = 0; at < logs[k].size(); at += piece)
                            blocks.Append(std::string_view(logs[k]).substr(at, piece));
                    }
                    blocks.Finish();
                    EXPECT_GT(budget.Charged(), 0u);
                }
                EXPECT_EQ(got, expected);
                EXPECT_EQ(budget.Charged(), 0u);
            }
        }
    }
}

}  // namespace
