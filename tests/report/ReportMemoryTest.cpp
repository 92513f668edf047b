// The report tool in a memory control group of its own, as a service or a
// container runs it: small logs of every format that unpack far past the
// group's limit, and lines piped in, end with a message and status 1 when
// the log is held whole (lines that can be read: the memory; line ends only:
// the first empty line), the system never ends the program, and the logs and
// the report are whole.  Read in blocks, the same logs are analysed.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <regex>
#include <thread>
#include <tuple>

#include "CompressTool.h"
#include "ReportToolRun.h"
#include "TempDir.h"

using namespace pomurina::testing;

namespace {

constexpr std::size_t MiB = std::size_t{1} << 20;

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

bool WriteText(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    return static_cast<bool>(out << text);
}

// A memory control group under the process's own (version 1 or 2), removed
// at the end; none when the system won't make one here.
class MemoryGroup {
public:
    explicit MemoryGroup(std::size_t limit) {
        const std::string own = ReadText("/proc/self/cgroup");
        const std::optional<std::string> v1 = Match(own, R"(^\d+:[^:\n]*\bmemory\b[^:\n]*:(.*)$)");
        const std::optional<std::string> v2 = Match(own, R"(^0::(.*)$)");
        const bool version1 = v1.has_value();
        if (!version1 && !v2) {
            m_whyNot = "the process is in no memory control group";
            return;
        }
        const std::string parent =
            version1 ? "/sys/fs/cgroup/memory" + *v1 : "/sys/fs/cgroup" + *v2;
        const std::string folder = parent + "/pomurina-test-" + std::to_string(::getpid());
        if (::mkdir(folder.c_str(), 0755) != 0) {
            m_whyNot = "cannot make a control group in " + parent + ": " + std::strerror(errno);
            return;
        }
        m_folder = folder;
        const std::string max = version1 ? "/memory.limit_in_bytes" : "/memory.max";
        if (!version1 && ::access((folder + max).c_str(), F_OK) != 0)
            WriteText(parent + "/cgroup.subtree_control", "+memory");
        if (!WriteText(folder + max, std::to_string(limit))) {
            m_whyNot = "the memory controller is not given to " + parent;
            return;
        }
        // No swap to go to instead.
        WriteText(folder + (version1 ? "/memory.memsw.limit_in_bytes" : "/memory.swap.max"),
                  version1 ? std::to_string(limit) : "0");
        m_events = folder + (version1 ? "/memory.oom_control" : "/memory.events");
        m_made = true;
    }
    ~MemoryGroup() {
        // The group's last process may take a moment to be gone.
        for (int tries = 0; !m_folder.empty() && tries < 100; ++tries) {
            if (::rmdir(m_folder.c_str()) == 0 || errno != EBUSY) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }
    MemoryGroup(const MemoryGroup&) = delete;
    MemoryGroup& operator=(const MemoryGroup&) = delete;

    bool Made() const { return m_made; }
    const std::string& WhyNot() const { return m_whyNot; }
    // What puts the shell, and so the command after it, into the group.
    std::string Enter() const { return "echo $$ > " + Quote(m_folder + "/cgroup.procs") + " &&"; }
    // How many of its processes the system has ended for want of memory.
    int Kills() const {
        const std::optional<std::string> kills = Match(ReadText(m_events), R"(^oom_kill (\d+)$)");
        return kills ? std::stoi(*kills) : 0;
    }

private:
    // The first group of pattern's first match in text.
    static std::optional<std::string> Match(const std::string& text, const char* pattern) {
        std::smatch match;
        if (!std::regex_search(text, match, std::regex(pattern, std::regex::multiline)))
            return std::nullopt;
        return match[1].str();
    }

    std::string m_folder, m_events, m_whyNot;
    bool m_made = false;
};

const std::string kLine =
    "192.0.2.7 - - [06/Dec/2026:09:15:02 +0900] \"GET /index.html HTTP/1.1\" 200 1536 \"-\" "
    "\"Mozilla/5.0\"\n";

TEST(ReportMemory, LogsThatUnpackPastTheGroupsLimitAreRefusedNotKilled) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer's shadow memory and quarantine lie outside the run's budget";
#endif
    if (::geteuid() != 0) GTEST_SKIP() << "making a control group needs root";
    const std::size_t limit = 96 * MiB;
    const MemoryGroup group(limit);
    if (!group.Made()) GTEST_SKIP() << group.WhyNot();
    const TempDir dir;
    const std::string materia = (dir.Path() / "materia").string();
    for (const char* list : {"DomeinList.dat", "CheckDomeinList.dat", "SERobotsList.dat"})
        dir.WriteFile(std::string("materia/") + list, "");
    // 128 MB a log: one megabyte compressed once, its streams repeated; or
    // piped in, as a producer writes it.  Lines that can be read end in the
    // memory's message naming the log, line ends only in the first empty
    // line's.
    std::string lines;
    while (lines.size() < MiB) lines += kLine;
    const std::string lineEnds(MiB, '\n');
    const std::string memory = "memory", emptyLine = "'' は整数ではありません.\n";
    const std::pair<const std::string*, const std::string*> kinds[] = {{&lines, &memory},
                                                                       {&lineEnds, &emptyLine}};
    struct Case {
        std::string log, producer, said, named;
    };
    std::vector<Case> cases;
    const std::pair<const char*, const char*> tools[] = {
        {"gzip -n", "gz"}, {"bzip2", "bz2"}, {"xz", "xz"}, {"zstd -q", "zst"}};
    for (const auto& [tool, extension] : tools) {
        for (const auto& [text, said] : kinds) {
            const std::string once = RunFilter(tool, *text);
            std::string repeated;
            for (int i = 0; i < 128; ++i) repeated += once;
            const std::string log =
                dir.WriteFile(std::to_string(cases.size()) + "." + extension, repeated);
            cases.push_back({log, "", *said, log});
        }
    }
    cases.push_back({"-",
                     "yes " + Quote(kLine.substr(0, kLine.size() - 1)) + " | head -c 134217728 |",
                     memory, "標準入力"});
    cases.push_back({"-", "head -c 134217728 /dev/zero | tr '\\0' '\\n' |", emptyLine, ""});
    const std::regex shortage(
        "ログ \"(.*)\" を読み込むにはメモリが不足しています \\(少なくとも [0-9]+ MB 必要ですが、"
        "使えるのは [0-9]+ MB です\\)。ほかのプログラムを終了するか、ログを分けて解析してください"
        "\\.\n");
    const std::string html = dir.WriteFile("report.html", "an older report\n");
    const std::string errors = (dir.Path() / "errors").string();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.log + " " + c.producer);
        const std::string before = c.log == "-" ? "" : ReadText(c.log);
        // The JSON with the log holds the log whole.
        const ReportOutcome outcome = RunReport("--materia " + Quote(materia) +
                                                    " --json --with-log --html " + Quote(html) +
                                                    " " + Quote(c.log) + " > /dev/null",
                                                errors, group.Enter() + c.producer);
        EXPECT_EQ(outcome.status, 1);
        const std::string said = ReadText(errors);
        std::smatch match;
        if (c.said == memory) {
            ASSERT_TRUE(std::regex_match(said, match, shortage)) << said;
            EXPECT_EQ(match[1].str(), c.named);
        } else {
            EXPECT_EQ(said, c.said);
        }
        if (c.log != "-") {
            EXPECT_TRUE(ReadText(c.log) == before);
        }
        EXPECT_NE(ReadText(html).find("</html>"), std::string::npos);
        // Read in blocks, the lines are analysed within the group's limit.
        if (c.said != memory) continue;
        const ReportOutcome streamed =
            RunReport("--materia " + Quote(materia) + " --html " + Quote(html) + " " + Quote(c.log),
                      errors, group.Enter() + c.producer);
        EXPECT_EQ(streamed.status, 0) << ReadText(errors);
        EXPECT_TRUE(std::regex_search(ReadText(html),
                                      std::regex("data-key=\"connections.total\">[0-9]{7}<")));
    }
    EXPECT_EQ(group.Kills(), 0);
}

}  // namespace
