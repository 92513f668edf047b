// Every real public log runs to completion, with totals counted here by a plain reading of the
// lines.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <set>

#include "AnalysisTestSupport.h"
#include "Errors.h"
#include "analysis/LogCounting.h"
#include "text/NumberText.h"

using namespace pomurina;
using namespace pomurina::testing;
namespace fs = std::filesystem;

namespace {

struct Totals {
    long long lines = 0, get = 0, post = 0, ok = 0, forbidden = 0, notFound = 0, hosts = 0,
              getOk = 0;
    double bytes = 0;
    HourCounts hours{};  // lines by the hour after the first "["
};

bool Has(const std::string& line, const char* marker) {
    return line.find(marker) != std::string::npos;
}

Totals CountPlainly(const std::string& text) {
    Totals t;
    std::set<std::string> hosts;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(start, end - start);
        start = end + 1;
        ++t.lines;
        std::string host = line.substr(0, line.find(' '));
        if (line.find(' ') == std::string::npos) host.clear();
        std::transform(host.begin(), host.end(), host.begin(),
                       [](unsigned char c) { return std::tolower(c); });
        hosts.insert(host);
        if (const std::size_t open = line.find('['); open != std::string::npos)
            ++t.hours[static_cast<std::size_t>(std::stoi(line.substr(open + 13, 2)))];
        const bool isGet = Has(line, "\"GET ");
        t.get += isGet;
        t.post += Has(line, "\"POST");
        if (Has(line, "\" 200 ")) {
            ++t.ok;
            if (isGet) {
                ++t.getOk;
                std::string size = line.substr(line.find("\" 200") + 6);
                size = size.substr(0, size.find(' '));
                if (size != "-") t.bytes += std::stod(size);
            }
        } else if (Has(line, "\" 403 ")) {
            ++t.forbidden;
        } else if (Has(line, "\" 404 ")) {
            ++t.notFound;
        }
    }
    t.hosts = static_cast<long long>(hosts.size());
    return t;
}

}  // namespace

TEST(RealLogs, EveryLogCompletesWithTheTotalsOfAPlainReading) {
    const fs::path folder = POMURINA_REALLOGS;
    if (!fs::exists(folder)) GTEST_SKIP() << "no real logs at " << folder;
    int logs = 0;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path().extension() != ".log") continue;
        ++logs;
        SCOPED_TRACE(entry.path().filename().string());
        const Totals expected = CountPlainly(ReadFileBytes(entry.path()));
        ProgramDir dir;
        dir.WriteList("SERobotsList.dat", {"Googlebot", "bingbot"});
        MemoryWindow window;
        RunResult run;
        try {
            run = LogCounting(window, entry.path().string(),
                              RunPlaces{dir.Path().string(), "materia"});
        } catch (const Error& e) {
            FAIL() << e.Message();
        }
        // Each total as the run returns it and as its field shows it.
        const Summary& s = run.summary;
        const struct {
            FieldId field;
            std::int64_t returned;
            long long expected;
        } totals[] = {
            {FieldId::SummaryConnections, s.connections.total, expected.lines},
            {FieldId::SummaryHosts, s.connections.distinct, expected.hosts},
            {FieldId::SummaryGetRequests, s.get.total, expected.get},
            {FieldId::SummaryPostReceptions, s.post.total, expected.post},
            {FieldId::SummaryConnections200, s.connections.status200, expected.ok},
            {FieldId::SummaryConnections403, s.connections.status403, expected.forbidden},
            {FieldId::SummaryConnections404, s.connections.status404, expected.notFound},
            {FieldId::SummaryGet200, s.get.status200, expected.getOk},
        };
        for (const auto& total : totals) {
            EXPECT_EQ(total.returned, total.expected) << FieldName(total.field);
            EXPECT_EQ(window.GetField(total.field).Text(), std::to_string(total.expected))
                << FieldName(total.field);
        }
        EXPECT_TRUE(s.complete);
        EXPECT_EQ(s.allHours, expected.hours);
        EXPECT_EQ(s.transferBytes, expected.bytes);
        EXPECT_EQ(window.GetField(FieldId::TransferVolume).Text(), FloatToText(expected.bytes));
        EXPECT_EQ(window.GetPane(PaneId::NamaLog).Count(),
                  static_cast<std::size_t>(expected.lines));
        EXPECT_EQ(window.GetPane(PaneId::Memo9).Count(), static_cast<std::size_t>(expected.lines));
        std::int64_t hours = 0;
        for (const HourBar& bar : window.Graph(GraphId::Connections).Bars()) hours += bar.count;
        EXPECT_EQ(hours, expected.lines);
    }
    EXPECT_GE(logs, 6);
}

namespace {

// The dump of a run on the log at path (the lists of dir).
std::string DumpOfRun(const ProgramDir& dir, const fs::path& path) {
    MemoryWindow window;
    return DumpAfterRun(window, [&] {
        LogCounting(window, path.string(), RunPlaces{dir.Path().string(), "materia"});
    });
}

}  // namespace

// A server that crashes while appending leaves a block of zero bytes where
// its last writes were lost, and appends after it once restarted: every line
// around such blocks counts, and a line cut by one counts without it.
TEST(RealLogs, BlocksOfZeroBytesHideNothing) {
    const fs::path folder = POMURINA_REALLOGS;
    if (!fs::exists(folder)) GTEST_SKIP() << "no real logs at " << folder;
    const std::string block(4096, '\0');
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path().extension() != ".log") continue;
        SCOPED_TRACE(entry.path().filename().string());
        const std::string text = ReadFileBytes(entry.path());
        ProgramDir dir;
        dir.WriteList("SERobotsList.dat", {"Googlebot", "bingbot"});
        const fs::path copy = dir.Path() / "access.log";
        WriteFileBytes(copy, text);
        const std::string whole = DumpOfRun(dir, copy);
        ASSERT_EQ(whole.find("\nerror "), std::string::npos) << "the log itself fails";
        ASSERT_EQ(text.find('\0'), std::string::npos);

        // One block between two lines in the middle, one inside the line
        // after it, one at the end.
        std::string damaged = text;
        const std::size_t between = damaged.find('\n', damaged.size() / 2) + 1;
        damaged.insert(between, block);
        damaged.insert(between + block.size() + 20, block);
        damaged += block;
        WriteFileBytes(copy, damaged);
        EXPECT_EQ(DumpOfRun(dir, copy), whole);
    }
}
