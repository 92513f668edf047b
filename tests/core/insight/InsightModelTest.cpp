// The insight agrees with a second reading written apart from it (a plain
// Python model with its own parser, codecs and NFKC) on every real log and
// on generated logs with Japanese search phrases in every charset.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "InsightDriver.h"
#include "TempDir.h"
#include "text/TextList.h"

using namespace pomurina;
using namespace pomurina::testing;
namespace fs = std::filesystem;

namespace {

// The model's verdict on the program's insight of the log at path: "" when they agree.
std::string ModelDisagreement(const fs::path& log, const std::string& ownDomains) {
    TempDir dir;
    const std::string own = dir.WriteFile("DomeinList.dat", ownDomains);
    const fs::path rulesFolder = fs::path(POMURINA_SOURCE_DIR) / "defaults/materia";
    TextList ownList;
    ownList.SetText(ownDomains);
    const auto rules = LoadInsightRules(rulesFolder.string(), ownList.Lines());
    const Insight insight = ReadInsight(TextLines(ReadFileBytes(log)), *rules, 8192, 2);
    const std::string json = dir.WriteFile("insight.json", InsightJsonOf(&insight));
    const std::string command = "/usr/bin/python3 " POMURINA_INSIGHT_MODEL " '" + log.string() +
                                "' '" + rulesFolder.string() + "' '" + own + "' '" + json +
                                "' '" POMURINA_SOURCE_DIR "/tools/report/report.schema.json' 2>&1";
    std::string said;
    FILE* pipe = ::popen(command.c_str(), "r");
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        said.append(buffer, n);
    const int status = ::pclose(pipe);
    return status == 0 ? said : "status " + std::to_string(status) + "\n" + said;
}

const std::string kOwnDomains = "own.example.jp\r\n\r\npomurina-example\r\n";

}  // namespace

TEST(InsightModel, AgreesOnEveryRealLog) {
    const fs::path folder = POMURINA_REALLOGS;
    if (!fs::exists(folder)) GTEST_SKIP() << "no real logs at " << folder;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path().extension() == ".log") {
            EXPECT_EQ(ModelDisagreement(entry.path(), kOwnDomains), "") << entry.path();
        }
    }
}

TEST(InsightModel, AgreesOnGeneratedLogs) {
    TempDir dir;
    for (const unsigned seed : {1u, 2u}) {
        const std::string log = (dir.Path() / ("g" + std::to_string(seed) + ".log")).string();
        const std::string command = std::string(POMURINA_GENLOG) +
                                    " --variety --lines 20000 --seed " + std::to_string(seed) +
                                    " > '" + log + "'";
        ASSERT_EQ(std::system(command.c_str()), 0);
        EXPECT_EQ(ModelDisagreement(log, kOwnDomains), "") << "seed " << seed;
    }
}
