// A plain log is mapped, not copied; when its file shrinks under the
// mapping (a rotation truncates it), reads past the new end find zero bytes
// instead of ending the program, and the program counts it.  Runs whose log
// is cut at every step still end, and their lines can all be read.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <string>

#include "Errors.h"
#include "ProgramDir.h"
#include "analysis/LogCounting.h"
#include "io/LogFiles.h"
#include "memory/MemoryBudget.h"
#include "text/MappedBytes.h"
#include "text/TextLines.h"
#include "window/ProgressDisplay.h"
#include "window/ResultWindow.h"

namespace pomurina {
namespace {

namespace fs = std::filesystem;
using testing::ProgramDir;

TEST(MappedBytes, ShrunkFilesReadAsZerosPastTheirNewEnd) {
    const std::size_t page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    const std::size_t size = page * 3 + page / 2;
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>('a' + i % 26);
    const struct {
        std::size_t cutTo;
        bool vanishes;  // a whole page past the new end is read
    } cases[] = {{size, false}, {page * 3 + 1, false}, {page * 2, true}, {100, true}, {0, true}};
    ProgramDir dir;
    for (const auto& c : cases) {
        const std::string path = dir.WriteFile("cut.log", bytes);
        ByteBuffer buffer;
        {
            LogReading reading({path});
            MemoryBudget budget(RunMemory());
            reading.ReadPlainFile(buffer, budget);
        }
        ASSERT_EQ(buffer.size(), size);
        const std::size_t before = VanishedFileBytes();
        fs::resize_file(path, c.cutTo);
        const std::string seen(buffer.data(), buffer.size());
        EXPECT_EQ(seen.substr(0, c.cutTo), bytes.substr(0, c.cutTo)) << c.cutTo;
        EXPECT_EQ(seen.find_first_not_of('\0', c.cutTo), std::string::npos) << c.cutTo;
        EXPECT_EQ(VanishedFileBytes() > before, c.vanishes) << c.cutTo;
    }
}

TEST(MappedBytes, AFileWithAZeroByteAnywhereGivesItsLinesWithoutIt) {
    // Searched as it is split, on every core, in spans of 32 KiB: a zero
    // byte at either end of a span or of a core's part (the first LF past
    // half the file) is found, and the lines are those of the text without it.
    const std::size_t span = std::size_t{32} << 10, size = (std::size_t{16} << 20) + 100;
    std::string bytes(size, 'x');
    for (std::size_t at = 99; at < size; at += 100) bytes[at] = '\n';
    const std::size_t half = bytes.find('\n', size / 2) + 1;
    ProgramDir dir;
    for (const std::size_t zeroAt : {size, std::size_t{0}, span - 1, span, span + 1, half - 1,
                                     half, size - 1}) {
        std::string held = bytes;
        if (zeroAt < size) held[zeroAt] = '\0';
        const std::string path = dir.WriteFile("zero.log", held);
        ByteBuffer buffer;
        LogReading reading({path});
        MemoryBudget budget(RunMemory());
        reading.ReadPlainFile(buffer, budget);
        ASSERT_TRUE(buffer.IsMappedFile());
        const TextLines lines(std::move(buffer), &budget);
        std::string expected = held;
        std::erase(expected, '\0');
        const TextLines model{std::string_view(expected)};
        ASSERT_EQ(lines.Count(), model.Count()) << zeroAt;
        std::string a, b;
        std::size_t same = 0;
        for (std::size_t i = 0; i < model.Count(); ++i) same += lines.Line(i, a) == model.Line(i, b);
        EXPECT_EQ(same, model.Count()) << zeroAt;
    }
}

TEST(MappedBytes, ABusErrorNotOfAMappingStillEndsTheProgram) {
    ProgramDir dir;
    const std::string path = dir.WriteFile("a.log", "line\n");
    LogReading reading({path});
    ByteBuffer buffer;
    MemoryBudget budget(RunMemory());
    reading.ReadPlainFile(buffer, budget);  // the guard is in place
    // Killed by the signal, or ended by the sanitizers' own handler.
    EXPECT_EXIT(
        std::raise(SIGBUS),
        [](int status) { return !WIFEXITED(status) || WEXITSTATUS(status) != 0; }, "");
}

// Cuts the log to nothing at the nth line the progress window is given.
class CuttingProgress final : public ProgressDisplay {
public:
    CuttingProgress(std::string path, std::size_t at) : m_path(std::move(path)), m_at(at) {}
    void Show() override { m_lines.Show(); }
    void Hide() override { m_lines.Hide(); }
    bool IsShown() const override { return m_lines.IsShown(); }
    void AddLine(std::string_view line) override {
        if (m_count++ == m_at) fs::resize_file(m_path, 0);
        m_lines.AddLine(line);
    }
    std::vector<std::string> MessageLines() const override { return m_lines.MessageLines(); }
    void SetMaximum(std::int64_t maximum) override { m_lines.SetMaximum(maximum); }
    void SetPosition(std::int64_t position) override { m_lines.SetPosition(position); }
    std::int64_t Maximum() const override { return m_lines.Maximum(); }
    std::int64_t Position() const override { return m_lines.Position(); }

private:
    MemoryProgress m_lines;
    std::string m_path;
    std::size_t m_at, m_count = 0;
};

TEST(MappedBytes, ARunWhoseLogIsCutAtAnyStepEnds) {
    ProgramDir dir(ProgramDir::Materia::Defaults);
    std::string log;
    for (int i = 0; i < 3000; ++i)
        log += "192.0.2." + std::to_string(i % 200) + " - - [06/Dec/2026:09:15:02 +0900] \"GET /p" +
               std::to_string(i) + " HTTP/1.1\" 200 1536 \"-\" \"Mozilla/5.0\"\n";
    const std::size_t vanishedBefore = VanishedFileBytes();
    for (std::size_t at = 0; at < 16; ++at) {
        const std::string path = dir.WriteFile("cut.log", log);
        MemoryWindow window;
        CuttingProgress progress(path, at);
        window.SetProgress(&progress);
        RunResult run;
        try {
            run = LogCounting(window, path, RunPlaces{dir.Path().string(), "materia"});
        } catch (const Error&) {
            continue;  // cut before it was read: an empty log, or a list's failure
        }
        ASSERT_TRUE(run.logLines) << at;
        std::string scratch, all;
        for (std::size_t i = 0; i < run.logLines->Count(); ++i)
            all += run.logLines->Line(i, scratch);
        EXPECT_LE(all.size(), log.size()) << at;
    }
    EXPECT_GT(VanishedFileBytes(), vanishedBefore);  // some cut came while the lines were read
}

}  // namespace
}  // namespace pomurina
