// The JSON and HTML writers on whole runs: what they take from the window,
// that they stream, where they cut, and saving a report as a file.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "AnalysisTestSupport.h"
#include "Errors.h"
#include "analysis/LogCounting.h"
#include "io/FileIo.h"
#include "report/HtmlReport.h"
#include "report/JsonReport.h"
#include "report/ReportFile.h"
#include "window/MemoPanes.h"
#include "window/TransferUnits.h"

using namespace pomurina;
using namespace pomurina::testing;

namespace {

std::string Line(int hour, const std::string& request, int status,
                 const std::string& referrer = "-", const std::string& host = "192.0.2.1") {
    char time[64];
    std::snprintf(time, sizeof time, "[06/Dec/2026:%02d:15:02 +0900]", hour);
    return host + " - - " + time + " \"" + request + " HTTP/1.1\" " + std::to_string(status) +
           " 100 \"" + referrer + "\" \"Mozilla\"\n";
}

// A run over the log text in a program directory of its own.
struct AnalysedLog {
    explicit AnalysedLog(const std::string& log, std::initializer_list<std::string> own = {},
                         std::initializer_list<std::string> watched = {}) {
        dir.WriteList("DomeinList.dat", own);
        dir.WriteList("CheckDomeinList.dat", watched);
        path = dir.WriteFile("a.log", log);
        try {
            source.run = std::make_shared<const RunResult>(
                LogCounting(window, path, RunPlaces{dir.Path().string(), "materia"}));
        } catch (const Error& e) {
            source.error = e.Message();
        }
        source.files = {path};
    }
    std::string Json(bool withLog = false) {
        std::string text;
        ReportStream out([&](std::string_view block) {
            text += block;
            return 0;
        });
        WriteJsonReport(window, source, withLog, out);
        EXPECT_EQ(out.Finish(), 0);
        return text;
    }
    std::string Html() {
        std::string text;
        ReportStream out([&](std::string_view block) {
            text += block;
            return 0;
        });
        WriteHtmlReport(window, source, out);
        EXPECT_EQ(out.Finish(), 0);
        return text;
    }

    ProgramDir dir;
    std::string path;
    MemoryWindow window;
    ReportSource source;
};

bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

std::size_t Occurrences(const std::string& text, const std::string& part) {
    std::size_t n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

}  // namespace

TEST(ReportContents, HeadersAreCountedAsTheRunWroteThem) {
    AnalysedLog run(Line(9, "GET /a", 404), {"example.com", "example.org"}, {});
    EXPECT_EQ(HeaderLines(run.window, PaneId::Memo8), 2u);
    EXPECT_EQ(HeaderLines(run.window, PaneId::File404Memo), 3u);
    EXPECT_EQ(HeaderLines(run.window, PaneId::CheckDomeinMemo), 3u);  // first line, none, rule
    EXPECT_EQ(HeaderLines(run.window, PaneId::ReferrerList), 6u);     // two entries, です, format
    EXPECT_EQ(HeaderLines(run.window, PaneId::RobotsLog), 5u);        // none, two format lines
    EXPECT_EQ(HeaderLines(run.window, PaneId::Memo9), 0u);

    MemoryWindow fresh;
    EXPECT_EQ(HeaderLines(fresh, PaneId::Memo8), 0u);
}

TEST(ReportContents, EveryHeaderMessageToMemoWritesIsCountedWhole) {
    MemoryWindow window;
    MessageToMemo(window);
    for (const ReportPane& pane : kReportPanes) {
        const std::size_t written = window.GetPane(pane.id).Lines().Count();
        EXPECT_EQ(MessageLineCount(pane.id), written) << pane.key;
        EXPECT_EQ(HeaderLines(window, pane.id), written) << pane.key;
    }
}

TEST(JsonReport, KeepsTheRawLogOutUnlessAskedAndTheBytesBehindTheField) {
    AnalysedLog run(Line(9, "GET /a", 200) + Line(10, "GET /b", 200));
    const std::string json = run.Json();
    EXPECT_TRUE(Has(json, R"("transfer": {"bytes": 200, "shown": "200", "unit": "byte"})")) << json;
    EXPECT_TRUE(Has(json, R"("raw_log": {"name": "NamaLog", "title": "生ログ", "place": "生ログ", )"
                          R"("header_lines": 0, "count": 2})"));
    EXPECT_TRUE(Has(json, R"("complete": true,)"));
    EXPECT_TRUE(Has(run.Json(true),
                    "\"raw_log\": {\"name\": \"NamaLog\", \"title\": \"生ログ\", "
                    "\"place\": \"生ログ\", \"header_lines\": 0, \"count\": 2, "
                    "\"lines\": [\n      \"192.0.2.1"));
}

TEST(ReportWriters, TakeTheNumbersFromTheRunAndTheVolumeAsTheWindowShowsIt) {
    AnalysedLog run(Line(9, "GET /a", 200) + Line(10, "GET /b", 404));
    // A field's text is no number to report: here it is stale, and the unit
    // box has converted the volume's text since the run.
    run.window.GetField(FieldId::SummaryConnections).SetText("999");
    run.window.Unit().SetItemIndex(1);
    ChangeByteUnit(run.window);
    const std::string json = run.Json(), html = run.Html();
    EXPECT_TRUE(Has(json, R"("connections": {"total": 2, "hosts": 1, "status_200": 1, )"
                          R"("status_403": 0, "status_404": 1})"));
    EXPECT_TRUE(Has(json, R"("transfer": {"bytes": 100, "shown": "0.09765625", "unit": "Kb"})"));
    EXPECT_TRUE(Has(html, "<td data-key=\"connections.total\">2</td>"));
    EXPECT_TRUE(Has(html,
                    "0.09765625</span> <span class=\"unit\">Kb</span></span><br>"
                    "<span class=\"aside\">(100 byte)</span>"));
}

TEST(JsonReport, AStoppedRunIsReportedWithNullsAndItsError) {
    AnalysedLog run(Line(9, "GET /a", 404) + "no time\n" + Line(10, "GET /b", 404));
    ASSERT_TRUE(run.source.error);
    const std::string json = run.Json();
    EXPECT_TRUE(Has(json, R"("complete": false,)"));
    EXPECT_TRUE(Has(json, "\"error\": \"'' は整数ではありません\""));
    EXPECT_TRUE(Has(json, R"("connections": {"total": null, "hosts": null,)"));
    EXPECT_TRUE(Has(json, R"("transfer": {"bytes": null, "shown": "-", "unit": null})"));
    EXPECT_TRUE(Has(json, R"("connections": null,)"));
    EXPECT_TRUE(Has(json, R"("get_extract": {"name": "Memo4")"));
}

TEST(ReportStream, WritesInBoundedBlocksAndStopsAtTheFirstFailure) {
    std::string log;
    for (int i = 0; i < 40000; ++i) log += Line(i % 24, "GET /page" + std::to_string(i), 404);
    AnalysedLog run(log);
    std::size_t blocks = 0, largest = 0, total = 0;
    ReportStream out([&](std::string_view block) {
        ++blocks;
        largest = std::max(largest, block.size());
        total += block.size();
        return 0;
    });
    WriteJsonReport(run.window, run.source, true, out);
    EXPECT_EQ(out.Finish(), 0);
    EXPECT_GT(total, 8u << 20);
    EXPECT_GT(blocks, 5u);
    EXPECT_LT(largest, (1u << 20) + 4096);  // a block and at most one line past it

    int calls = 0;
    ReportStream failing([&](std::string_view) {
        ++calls;
        return ENOSPC;
    });
    WriteJsonReport(run.window, run.source, true, failing);
    EXPECT_EQ(failing.Finish(), ENOSPC);
    EXPECT_EQ(calls, 1);
}

TEST(HtmlReport, CutsLongListsAndLongLinesVisibly) {
    std::string log = Line(9, "GET /" + std::string(2000, 'x'), 200);
    const std::size_t files = kHtmlListLines + 37;
    for (std::size_t i = 0; i < files; ++i)
        log += Line(9, "GET /" + std::to_string(i) + "<b>&", 404);
    AnalysedLog run(log);
    const std::string html = run.Html();
    EXPECT_TRUE(Has(html, "<p class=\"more\">… 他37行</p>")) << html.substr(0, 400);
    EXPECT_TRUE(Has(html, "data-pane=\"get_404\" data-lines=\"" + std::to_string(files) + "\""));
    EXPECT_TRUE(Has(html, "/0&lt;b&gt;&amp;"));
    EXPECT_FALSE(Has(html, "<b>&"));
    EXPECT_TRUE(Has(html, "<li>/" + std::string(kHtmlLineBytes - 1, 'x') + "…</li>"));
    EXPECT_FALSE(Has(html, "<script"));
    EXPECT_LT(html.size(), 600u << 10);
}

TEST(HtmlReport, ShowsReferrersDecodedAndTheGraphsInTheWindowsOrder) {
    AnalysedLog run(Line(3, "GET /a", 200, "http://example.org/?q=%E3%81%82") +
                        Line(14, "GET /b", 200, "http://example.org/?q=%ZZ") +
                        Line(14, "GET /c", 200, "http://example.org/plain"),
                    {"example.com"});
    const std::string html = run.Html();
    EXPECT_TRUE(Has(html,
                    "<li>[http://example.org/?q=%E3%81%82] /a<span class=\"decoded\">→ "
                    "[http://example.org/?q=\xe3\x81\x82] /a</span></li>"));
    EXPECT_TRUE(Has(html, "<li>[http://example.org/?q=%ZZ] /b</li>"));  // not decodable
    EXPECT_TRUE(Has(html, "<li>[http://example.org/plain] /c</li>"));
    // Graph 1 from three o'clock down to two; 1 of 3 lines is 94 of 282 pixels as in the window.
    std::vector<int> hours;
    const std::size_t end = html.find("</svg>", html.find("data-graph=\"1\""));
    for (std::size_t at = html.find("data-hour=\"", html.find("data-graph=\"1\"")); at < end;
         at = html.find("data-hour=\"", at + 1))
        hours.push_back(std::stoi(html.substr(at + 11, 2)));
    std::vector<int> expected;
    for (int k = 0; k < 24; ++k) expected.push_back((k + 3) % 24);
    EXPECT_EQ(hours, expected);
    EXPECT_TRUE(Has(html, R"(width="94" height="12" data-hour="3" data-count="1"/>)"));
    EXPECT_TRUE(Has(html, R"(width="188" height="12" data-hour="14" data-count="2"/>)"));
    EXPECT_TRUE(Has(html, ">2 (66.7%)</text>"));
    EXPECT_EQ(Occurrences(html, "<rect class=\"bar\""), 72u);
}

TEST(HtmlReport, AStoppedRunSaysWhyAndDrawsNoGraph) {
    AnalysedLog run("no time\n");
    const std::string html = run.Html();
    EXPECT_TRUE(Has(html,
                    "<p class=\"error\" role=\"alert\">解析は途中で止まりました: '' "
                    "は整数ではありません<br>"));
    EXPECT_EQ(Occurrences(html, "グラフはありません"), 3u);
    EXPECT_TRUE(Has(html, "<td data-key=\"connections.total\">-</td>"));
}

TEST(SaveHtmlReport, WritesWholeOrLeavesTheOldFileAndNeverReplacesTheLog) {
    AnalysedLog run(Line(9, "GET /a", 200));
    const std::string target = run.dir.WriteFile("report.html", "old report");
    SaveHtmlReport(run.window, run.source, target);
    EXPECT_EQ(ReadFileBytes(target).rfind("<!DOCTYPE html>", 0), 0u);

    run.dir.WriteFile("report.html", "old report");
    {
        ScopedFileIo io;
        io.Replace(&FileIo::write, [](int, const void*, size_t) -> ssize_t {
            errno = ENOSPC;
            return -1;
        });
        EXPECT_THROW(SaveHtmlReport(run.window, run.source, target), FileCreateError);
    }
    EXPECT_EQ(ReadFileBytes(target), "old report");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(run.dir.Path()),
                            std::filesystem::directory_iterator()),
              4);  // materia, logs, a.log, report.html: no temporary file left behind

    const std::string log = ReadFileBytes(run.path);
    try {
        SaveHtmlReport(run.window, run.source, run.path);
        FAIL() << "the log was replaced";
    } catch (const FileCreateError& e) {
        EXPECT_TRUE(Has(e.Message(), run.path));
    }
    EXPECT_EQ(ReadFileBytes(run.path), log);
    EXPECT_THROW(SaveHtmlReport(run.window, run.source, run.path + "/under-a-file.html"),
                 FileCreateError);
}
