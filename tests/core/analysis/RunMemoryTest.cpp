// Runs within the memory they may use: a log the budget can't hold is
// refused with a message naming it, in every form, leaving the window as a
// failed load does; results that outgrow it stop the run where it is; and
// once a line has failed, the rest of a compressed log is only counted.
#include <gtest/gtest.h>
#include <unistd.h>

#include <sstream>
#include <thread>

#include "AnalysisTestSupport.h"
#include "CompressTool.h"
#include "Errors.h"
#include "ScopedSeams.h"
#include "analysis/LogCounting.h"
#include "text/Cp932.h"

using namespace pomurina;
using namespace pomurina::testing;
using V = std::vector<std::string>;

namespace {

constexpr std::size_t MiB = std::size_t{1} << 20;

// Log lines that compress poorly (a pseudo-random path), about 130 bytes each.
std::string LogText(std::size_t count, const std::string& tail = "200 512 \"-\" \"Mozilla/5.0\"") {
    std::string text;
    std::uint32_t state = 12345;
    for (std::size_t i = 0; i < count; ++i) {
        state = state * 1103515245u + 12345u;
        char path[16];
        std::snprintf(path, sizeof path, "/%08x", state);
        text += "192.0.2." + std::to_string(i % 250) + " - - [06/Dec/2026:1" +
                std::to_string(i % 10) + ":00:00 +0900] \"GET " + path + " HTTP/1.1\" " + tail +
                "\n";
    }
    return text;
}

// The dump without the lines that name the logs being read, their count, and the error.
std::string WithoutReadingAndError(const std::string& dump) {
    std::istringstream in(dump);
    std::string kept, line;
    const std::string reading = Utf8ToCp932("を読み込");
    while (std::getline(in, line))
        if (line.find(reading) == std::string::npos && !line.starts_with("error ") &&
            !line.starts_with("progress "))
            kept += line + "\n";
    return kept;
}

// The message's exact words around the number of megabytes needed, which
// is at least more than can be used.
void ExpectShortage(const std::string& dump, const std::string& log, std::size_t usableMb) {
    const std::string head = "\nerror " + Utf8ToCp932("ログ \"" + log +
                                                      "\" を読み込むにはメモリが不足しています "
                                                      "(少なくとも ");
    const std::string tail = Utf8ToCp932(" MB 必要ですが、使えるのは " + std::to_string(usableMb) +
                                         " MB です)。ほかのプログラムを終了するか、ログを分けて解"
                                         "析してください.\n");
    const std::size_t at = dump.find(head);
    ASSERT_NE(at, std::string::npos) << Cp932ToUtf8(dump.substr(dump.find("\nerror ")));
    const std::size_t number = at + head.size(), end = dump.find(' ', number);
    EXPECT_GT(std::stoul(dump.substr(number, end - number)), usableMb);
    EXPECT_EQ(dump.substr(end, tail.size()), tail);
}

class RunMemory : public ::testing::Test {
protected:
    RunMemory() { m_dir.WriteList("SERobotsList.dat", {"bot"}); }

    std::string Run(const V& paths, const ClassifyPlan& plan = {}) {
        MemoryWindow window;
        return DumpAfterRun(window, [&] {
            LogCounting(window, paths, RunPlaces{m_dir.Path().string(), "materia"}, plan);
        });
    }
    // The same with bytes as standard input, written as a producer writes them.
    std::string RunFromStandardInput(const std::string& bytes) {
        int ends[2];
        EXPECT_EQ(::pipe(ends), 0);
        const int saved = ::dup(STDIN_FILENO);
        ::dup2(ends[0], STDIN_FILENO);
        ::close(ends[0]);
        std::thread writer([&, out = ends[1]] {
            for (std::size_t at = 0; at < bytes.size();) {
                const ssize_t n = ::write(out, bytes.data() + at,
                                          std::min<std::size_t>(65536, bytes.size() - at));
                if (n <= 0) break;
                at += static_cast<std::size_t>(n);
            }
            ::close(out);
        });
        const std::string dump = Run({"-"});
        // What the run didn't read is read here, so that the writer ends.
        char sink[65536];
        while (::read(STDIN_FILENO, sink, sizeof sink) > 0) {
        }
        writer.join();
        ::dup2(saved, STDIN_FILENO);
        ::close(saved);
        return dump;
    }

    ProgramDir m_dir;
};

TEST_F(RunMemory, ALogTheBudgetCantHoldIsRefusedByNameAsAFailedLoad) {
    const std::string text = LogText(50000);  // about 6 MB
    const std::string failedOpen =
        WithoutReadingAndError(Run({(m_dir.Path() / "missing.log").string()}));
    const std::string first = m_dir.WriteFile("first.log", LogText(100));
    struct Form {
        std::string name;
        V paths;
        std::string named;  // the log the message names
    };
    std::vector<Form> forms;
    const std::string plain = m_dir.WriteFile("plain.log", text);
    forms.push_back({"plain", {plain}, plain});
    const std::pair<const char*, const char*> tools[] = {
        {"gzip -1 -n", "gz"}, {"bzip2 -1", "bz2"}, {"xz -0", "xz"}, {"zstd -q -1", "zst"}};
    for (const auto& [tool, extension] : tools) {
        const std::string packed =
            m_dir.WriteFile(std::string("log.") + extension, RunFilter(tool, text));
        forms.push_back({tool, {packed}, packed});
        if (forms.size() == 2) forms.push_back({"second of two", {first, packed}, packed});
    }
    const ScopedRunMemory budget(4 * MiB);
    for (const Form& form : forms) {
        SCOPED_TRACE(form.name);
        const std::string dump = Run(form.paths);
        ExpectShortage(dump, form.named, 4);
        EXPECT_EQ(WithoutReadingAndError(dump), failedOpen);
    }
    // The plain log is refused for its size, before it is read.
    const std::size_t sizeMb = (text.size() + MiB - 1) / MiB;
    EXPECT_NE(Run({plain}).find(Utf8ToCp932("(少なくとも " + std::to_string(sizeMb) + " MB")),
              std::string::npos);
    const std::string piped = RunFromStandardInput(text);
    ExpectShortage(piped, "標準入力", 4);
    EXPECT_EQ(WithoutReadingAndError(piped), failedOpen);
}

TEST_F(RunMemory, ResultsThatOutgrowTheBudgetStopTheRun) {
    // Every line is kept in six collections: more than the text itself.
    const std::string text = LogText(30000, "404 1 \"http://else.example/\" \"bot/1.0\"");
    const std::string plain = m_dir.WriteFile("many.log", text);
    const std::string packed = m_dir.WriteFile("many.log.gz", RunFilter("gzip -n", text));
    const std::string failedOpen =
        WithoutReadingAndError(Run({(m_dir.Path() / "missing.log").string()}));
    const ScopedRunMemory budget(5 * MiB);
    // Read whole first, the plain log stops while its lines are classified,
    // the earlier ones shown; the compressed one stops while it is read.
    const std::string stopped = Run({plain});
    ExpectShortage(stopped, plain, 5);
    EXPECT_EQ(stopped.find("\npane Memo4 0\n"), std::string::npos);
    EXPECT_NE(stopped.find("\npane NamaLog 0\n"), std::string::npos);
    const std::string failed = Run({packed});
    ExpectShortage(failed, packed, 5);
    EXPECT_EQ(WithoutReadingAndError(failed), failedOpen);
}

TEST_F(RunMemory, AfterAFailingFirstLineACompressedLogIsCountedNotKept) {
    std::string text = LogText(60000);  // about 8 MB, more than the budget
    text.replace(0, text.find('\n'),
                 "192.0.2.9 - - [06/Dec/2026:?4:00:00 +0900] \"GET / HTTP/1.1\"");
    const std::string plain = m_dir.WriteFile("bad.log", text);
    const std::string packed = m_dir.WriteFile("bad.log.gz", RunFilter("gzip -1 -n", text));
    const std::string reference = Run({plain});
    EXPECT_NE(reference.find(Utf8ToCp932("'?4' は整数ではありません.")), std::string::npos);
    // Read slowly, so that the line fails long before the budget would be reached.
    ScopedFileIo slow;
    slow.Replace(&FileIo::read, [](int fd, void* buffer, size_t size) {
        ::usleep(100);
        return ::read(fd, buffer, std::min<size_t>(size, 1024));
    });
    const ScopedRunMemory budget(4 * MiB);
    const auto unnamed = [&](std::string dump) {
        for (const std::string& name : {packed, plain})
            for (std::size_t at; (at = dump.find(name)) != std::string::npos;)
                dump.replace(at, name.size(), "LOG");
        return dump;
    };
    // The bar's end is the count of every line, as the plain log shows it.
    EXPECT_EQ(unnamed(Run({packed}, {2, 3, 97})), unnamed(reference));
}

TEST_F(RunMemory, ALineThatFailsBeforeTheMemoryRunsOutIsTheRunsFailure) {
    // Line ends alone, unpacked far past the budget as fast as the system
    // can: the first (empty) line fails, whether it is classified before the
    // memory runs out, as it mostly is, or after, out of the margin.  The
    // bar's end is then the lines read so far.
    const std::string text(24 * MiB, '\n');
    const auto withoutBarsEnd = [](std::string dump) {
        const std::size_t at = dump.find("\nprogressbar 0 ");
        if (at != std::string::npos) dump.erase(at + 15, dump.find('\n', at + 1) - at - 15);
        return WithoutReadingAndError(dump);
    };
    const std::string said = "\nerror " + Utf8ToCp932("'' は整数ではありません.\n");
    const ClassifyPlan plans[] = {{}, {2, 1, 97}, {1, 8192, 64 * MiB}};
    for (const auto& [tool, log] : {std::pair{"gzip -n", "ends.gz"}, {"zstd -q", "ends.zst"}}) {
        const std::string packed = m_dir.WriteFile(log, RunFilter(tool, text));
        const std::string reference = withoutBarsEnd(Run({packed}));
        const ScopedRunMemory budget(4 * MiB);
        for (const ClassifyPlan& plan : plans) {
            for (int again = 0; again < 3; ++again) {
                SCOPED_TRACE(std::string(log) + " " + std::to_string(plan.arrivingBytes));
                const std::string dump = Run({packed}, plan);
                EXPECT_NE(dump.find(said), std::string::npos) << Cp932ToUtf8(dump);
                EXPECT_EQ(withoutBarsEnd(dump), reference);
            }
        }
    }
}

}  // namespace
