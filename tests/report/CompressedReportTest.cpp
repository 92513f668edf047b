// The report tool on compressed logs, standard input and several logs: the
// same analysis as the plain, joined log, with only the lines that name the
// log different; the reports list every log.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "AnalysisTestSupport.h"
#include "CompressTool.h"
#include "ReportToolRun.h"
#include "text/Cp932.h"

using namespace pomurina;
using namespace pomurina::testing;
namespace fs = std::filesystem;

namespace {

// The dump without the lines that name a log (the file field and the
// progress lines) and, for several logs, without the count of progress
// lines (each log adds its two).
std::string Unnamed(const std::string& dump) {
    std::istringstream in(dump);
    std::string kept, line;
    const std::string reading = Utf8ToCp932("を読み込"), field = "field Edit35 ";
    while (std::getline(in, line))
        if (line.find(reading) == std::string::npos && !line.starts_with(field) &&
            !line.starts_with("progress "))
            kept += line + "\n";
    return kept;
}

std::string Dump(const std::string& arguments, const std::string& prefix = "") {
    const ReportOutcome o = RunReport("--dump " + arguments, "/dev/null", prefix);
    EXPECT_EQ(o.status, 0) << arguments;
    return o.out;
}

const std::string kLine =
    "192.0.2.7 - - [06/Dec/2026:09:15:02 +0900] \"GET /a HTTP/1.1\" 200 1536 \"-\" \"Mozilla\"";

TEST(CompressedReport, StandardInputAndSeveralLogsListEveryLogInTheReports) {
    ProgramDir dir;
    const std::string materia = " --materia " + Quote((dir.Path() / "materia").string()) + " ";
    const std::string older = dir.WriteFile("access_log.1.gz", RunFilter("gzip -n", kLine));
    const std::string newer = dir.WriteFile("access_log", kLine + "\n" + kLine + "\n");
    const std::string joined = dir.WriteFile("joined", kLine + "\n" + kLine + "\n" + kLine + "\n");
    const std::string plain = Dump(materia + Quote(joined));
    EXPECT_EQ(Unnamed(Dump(materia + Quote(older) + " " + Quote(newer))), Unnamed(plain));
    // Standard input, compressed or not, among other logs.
    EXPECT_EQ(Unnamed(Dump(materia + "- " + Quote(newer), "cat " + Quote(older) + " |")),
              Unnamed(plain));
    const std::string piped = Dump(materia + "-", "cat " + Quote(joined) + " |");
    EXPECT_EQ(Unnamed(piped), Unnamed(plain));
    EXPECT_NE(piped.find("field Edit35 " + Utf8ToCp932("標準入力") + "\n"), std::string::npos);

    const ReportOutcome json = RunReport("--json" + materia + Quote(older) + " " + Quote(newer));
    EXPECT_EQ(json.status, 0);
    EXPECT_NE(json.out.find("\"files\": [\n    {\"path\": \"" + older + "\"},\n    {\"path\": \"" +
                            newer + "\"}\n  ]"),
              std::string::npos)
        << json.out.substr(0, 300);
    const ReportOutcome fromInput =
        RunReport("--json" + materia + "-", "/dev/null", "cat " + Quote(joined) + " |");
    EXPECT_NE(fromInput.out.find("\"files\": [\n    {\"path\": \"-\"}\n  ]"), std::string::npos);
    const std::string html = (dir.Path() / "r.html").string();
    EXPECT_EQ(RunReport(materia + "--html " + Quote(html) + " " + Quote(older) + " " + Quote(newer))
                  .status,
              0);
    const std::string page = ReadFileBytes(html);
    EXPECT_NE(page.find("access_log.1.gz"), std::string::npos);
    EXPECT_NE(page.find(newer), std::string::npos);
}

TEST(CompressedReport, RealLogsInEveryFormatAndInTwoPartsDumpAsThePlainLog) {
    if (!fs::is_directory(POMURINA_REALLOGS)) GTEST_SKIP() << "no real logs here";
    TempDir dir;
    for (const auto& entry : fs::directory_iterator(POMURINA_REALLOGS)) {
        if (entry.path().extension() != ".log") continue;
        SCOPED_TRACE(entry.path().filename().string());
        std::string text = ReadFileBytes(entry.path());
#if defined(__SANITIZE_ADDRESS__)
        // Several times slower under the sanitizers: each log's first lines.
        if (const std::size_t end = text.find('\n', 400000); end != std::string::npos)
            text.resize(end + 1);
#endif
        const std::string plain = Unnamed(Dump(Quote(dir.WriteFile("plain.log", text))));
        for (const CompressTool& tool : CompressTools()) {
            const std::string packed =
                dir.WriteFile("log" + tool.extension, RunFilter(tool.command, text));
            EXPECT_EQ(Unnamed(Dump(Quote(packed))), plain) << tool.command;
        }
        // Cut at a line end in the middle: two gzip members in one file, and
        // two files, the first without its last line end.
        const std::size_t half = text.find('\n', text.size() / 2);
        ASSERT_NE(half, std::string::npos);
        const std::string members =
            dir.WriteFile("two.gz", RunFilter("gzip -n", text.substr(0, half + 1)) +
                                        RunFilter("gzip -n", text.substr(half + 1)));
        EXPECT_EQ(Unnamed(Dump(Quote(members))), plain);
        const std::string first = dir.WriteFile("first", text.substr(0, half));
        const std::string second =
            dir.WriteFile("second.xz", RunFilter("xz", text.substr(half + 1)));
        EXPECT_EQ(Unnamed(Dump(Quote(first) + " " + Quote(second))), plain);
    }
}

}  // namespace
