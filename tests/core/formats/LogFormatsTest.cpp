// Logs in each format, written here: how their first lines are told apart,
// what combined line each line becomes, and the reading that does both as
// the bytes arrive in pieces of any size.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>

#include "CompressTool.h"
#include "StringSink.h"
#include "formats/LineConversion.h"
#include "formats/LogFormat.h"
#include "io/ConvertingSink.h"
#include "io/LogFiles.h"
#include "memory/MemoryBudget.h"

namespace pomurina {
namespace {

const std::string kCombined =
    "203.0.113.5 - - [08/Dec/2026:10:00:00 +0900] \"GET /a.html HTTP/1.1\" 200 512 "
    "\"https://www.google.co.jp/\" \"Mozilla/5.0 (Windows NT 10.0)\"\n";
const std::string kCommon =
    "203.0.113.5 - - [08/Dec/2026:10:00:01 +0900] \"GET / HTTP/1.0\" 304 -\n";
const std::string kVirtualHost = "shop.example.jp:443 " + kCombined;
const std::string kLtsv =
    "host:203.0.113.5\tident:-\tuser:-\ttime:[08/Dec/2026:10:00:00 +0900]\t"
    "req:GET /a.html HTTP/1.1\tstatus:200\tsize:512\treferer:https://www.google.co.jp/\t"
    "ua:Mozilla/5.0 (Windows NT 10.0)\tvhost:shop.example.jp\treqtime:0.004\n";
const std::string kW3cHeader =
    "#Software: Microsoft Internet Information Services 10.0\n#Version: 1.0\n"
    "#Date: 2026-12-08 01:00:00\n"
    "#Fields: date time s-ip cs-method cs-uri-stem cs-uri-query s-port cs-username c-ip "
    "cs(User-Agent) cs(Referer) sc-status sc-substatus sc-win32-status time-taken\n";
const std::string kW3cLine =
    "2026-12-08 01:00:00 192.0.2.1 GET /a.html q=1 80 - 203.0.113.5 "
    "Mozilla/5.0+(Windows+NT+10.0) https://www.google.co.jp/ 200 0 0 15\n";
const std::string kCloudFrontHeader =
    "#Version: 1.0\n#Fields: date time x-edge-location sc-bytes c-ip cs-method cs(Host) "
    "cs-uri-stem sc-status cs(Referer) cs(User-Agent) cs-uri-query cs(Cookie) x-edge-result-type "
    "x-edge-request-id x-host-header cs-protocol cs-bytes time-taken\n";
const std::string kCloudFrontLine =
    "2026-12-08\t01:00:00\tNRT57-C1\t512\t203.0.113.5\tGET\td111.cloudfront.net\t/a.html\t200\t"
    "-\tMozilla/5.0%20(Windows%20NT%2010.0)\t-\t-\tHit\tabc==\tshop.example.jp\thttps\t90\t0.002\n";

std::string Times(const std::string& line, int count) {
    std::string text;
    for (int i = 0; i < count; ++i) text += line;
    return text;
}

// The machine's zone for a test: Japan's, from a rule that needs no zone files.
class JapanTime : public ::testing::Test {
protected:
    void SetUp() override {
        const char* old = std::getenv("TZ");
        m_old = old ? std::optional<std::string>(old) : std::nullopt;
        setenv("TZ", "JST-9", 1);
        tzset();
    }
    void TearDown() override {
        if (m_old)
            setenv("TZ", m_old->c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }

private:
    std::optional<std::string> m_old;
};

TEST(DetectLogFormat, TellsEachFormatFromItsFirstLines) {
    const struct {
        std::string text;
        bool ended;
        LogFormat format;
    } cases[] = {
        {Times(kCombined, 20), false, LogFormat::Combined},
        {Times(kCommon, 3), true, LogFormat::Combined},
        {kCombined + kCommon, true, LogFormat::Combined},
        {Times(kVirtualHost, 3), true, LogFormat::VirtualHost},
        {"www.example.jp " + kCommon, true, LogFormat::VirtualHost},
        {Times(kLtsv, 2), true, LogFormat::Ltsv},
        {kW3cHeader + kW3cLine, true, LogFormat::W3c},
        {"#Software: IIS\n#Version: 1.0\n", false, LogFormat::W3c},
        {"#Software: IIS\n#Version: 1.0\n" + kW3cLine, true, LogFormat::Unknown},
        {kCloudFrontHeader + kCloudFrontLine, true, LogFormat::CloudFront},
        {"\r\n" + Times(kLtsv, 1), true, LogFormat::Ltsv},
        // The majority of the first lines wins; a tie goes to combined.
        {kLtsv + kCombined + kLtsv, true, LogFormat::Ltsv},
        {kLtsv + kCombined, true, LogFormat::Combined},
        {"hello\nworld\n", true, LogFormat::Unknown},
        {"", true, LogFormat::Unknown},
        {"# a comment\n" + kCombined, true, LogFormat::Combined},
        // A line cut short counts only when the file ends there.
        {kLtsv.substr(0, 60), false, LogFormat::Unknown},
        {kCombined.substr(0, kCombined.size() - 1), true, LogFormat::Combined},
        {"bad host " + kCombined, true, LogFormat::Unknown},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LogFormatName(DetectLogFormat(c.text, c.ended)), LogFormatName(c.format))
            << c.text;
}

TEST(DetectLogFormat, ReadsEveryRealLogAsCombined) {
    namespace fs = std::filesystem;
    if (!fs::is_directory(POMURINA_REALLOGS)) GTEST_SKIP() << "no real logs";
    int logs = 0;
    for (const auto& entry : fs::directory_iterator(POMURINA_REALLOGS)) {
        if (entry.path().extension() != ".log") continue;
        std::ifstream in(entry.path(), std::ios::binary);
        std::string first(kFormatSniffBytes, '\0');
        in.read(first.data(), static_cast<std::streamsize>(first.size()));
        first.resize(static_cast<std::size_t>(in.gcount()));
        EXPECT_EQ(DetectLogFormat(first, first.size() < kFormatSniffBytes), LogFormat::Combined)
            << entry.path();
        ++logs;
    }
    EXPECT_GT(logs, 0);
}

std::string Converted(LogFormat format, const std::string& text) {
    LineConversion conversion(format);
    std::string out;
    std::size_t from = 0;
    while (from < text.size()) {
        const std::size_t end = std::min(text.find('\n', from), text.size());
        conversion.Convert(std::string_view(text).substr(from, end - from), out);
        from = end + 1;
    }
    return out;
}

TEST_F(JapanTime, EachFormatBecomesTheCombinedLineWithTheSameMeaning) {
    const std::string vhostLine =
        "203.0.113.5 vhost=shop.example.jp - [08/Dec/2026:10:00:00 +0900] \"GET /a.html "
        "HTTP/1.1\" 200 512 \"https://www.google.co.jp/\" \"Mozilla/5.0 (Windows NT 10.0)\"\n";
    const struct {
        LogFormat format;
        std::string text, combined;
    } cases[] = {
        {LogFormat::VirtualHost, kVirtualHost, vhostLine},
        {LogFormat::VirtualHost, "a.example.jp " + kCommon,
         "203.0.113.5 vhost=a.example.jp - [08/Dec/2026:10:00:01 +0900] \"GET / HTTP/1.0\" 304 "
         "-\n"},
        {LogFormat::VirtualHost, "odd line\n", "odd line\n"},
        {LogFormat::Ltsv, kLtsv, vhostLine},
        // ISO 8601 times: "Z" is UTC, an offset is kept; method, uri and
        // protocol make the request; without referer and ua, a common line.
        {LogFormat::Ltsv,
         "host:198.51.100.2\ttime:2026-12-08T01:00:00.123Z\tmethod:POST\turi:/form?x=1\t"
         "status:302\tsize:0\n",
         "198.51.100.2 - - [08/Dec/2026:10:00:00 +0900] \"POST /form?x=1 HTTP/1.1\" 302 0\n"},
        {LogFormat::Ltsv,
         "host:h\ttime:2026-12-08T10:00:00-05:30\treq:GET \"/q\" HTTP/1.1\tstatus:200\tsize:-\t"
         "ua:a\"b\\\"c\x01\n",
         "h - - [08/Dec/2026:10:00:00 -0530] \"GET \\\"/q\\\" HTTP/1.1\" 200 - \"-\" "
         "\"a\\\"b\\\"c\\x01\"\n"},
        {LogFormat::Ltsv, "host:h\ttime:2026-02-29T10:00:00+0900\treq:GET / HTTP/1.1\n",
         "h - - [29/Feb/2026:10:00:00 +0900] \"GET / HTTP/1.1\" - -\n"},
        {LogFormat::Ltsv, "no labels here\n", "no labels here\n"},
        {LogFormat::W3c, kW3cHeader + kW3cLine,
         "203.0.113.5 - - [08/Dec/2026:10:00:00 +0900] \"GET /a.html?q=1 HTTP/1.1\" 200 - "
         "\"https://www.google.co.jp/\" \"Mozilla/5.0 (Windows NT 10.0)\"\n"},
        // The fields change mid-file; the day changes with the zone.
        {LogFormat::W3c,
         "#Fields: date time c-ip cs-method cs-uri-stem sc-status sc-bytes cs-host cs-version\n"
         "2026-12-31 15:30:00 2001:db8::1 HEAD / 404 0 www.example.jp HTTP/2\n"
         "#Fields: time date cs-method sc-status\n"
         "23:59:60 2026-12-31 GET 500\n",
         "2001:db8::1 vhost=www.example.jp - [01/Jan/2027:00:30:00 +0900] \"HEAD / HTTP/2\" 404 0 "
         "\"-\" \"-\"\n"
         "- - - [01/Jan/2027:08:59:60 +0900] \"GET - HTTP/1.1\" 500 - \"-\" \"-\"\n"},
        {LogFormat::W3c, "#Fields: date time c-ip\n2026-02-30 10:00:00 h\nnot a line\n\n",
         "h - - [30/Feb/2026:10:00:00 +0000] \"- - HTTP/1.1\" - - \"-\" \"-\"\nnot a line\n\n"},
        {LogFormat::CloudFront, kCloudFrontHeader + kCloudFrontLine,
         "203.0.113.5 vhost=shop.example.jp - [08/Dec/2026:10:00:00 +0900] \"GET /a.html "
         "HTTP/1.1\" 200 512 \"-\" \"Mozilla/5.0 (Windows NT 10.0)\"\n"},
        // Only a whole %XX is a byte; a quote it makes is escaped.
        {LogFormat::CloudFront,
         kCloudFrontHeader + "2026-12-08\t01:00:00\tE\t5\th\tGET\td\t/\t200\t-\t"
                             "a%20b%zz%22%4\t-\t-\tHit\tx\t-\thttps\t1\t0\n",
         "h - - [08/Dec/2026:10:00:00 +0900] \"GET / HTTP/1.1\" 200 5 \"-\" \"a b%zz\\\"%4\"\n"},
    };
    for (const auto& c : cases) EXPECT_EQ(Converted(c.format, c.text), c.combined) << c.text;
}

using testing::StringSink;

TEST_F(JapanTime, PiecesOfAnySizeReadAsTheWholeLog) {
    const std::string logs[] = {
        Times(kCombined, 300),  // past the bytes that tell the format
        Times(kVirtualHost, 300),
        kW3cHeader + Times(kW3cLine, 200) + kW3cHeader + Times(kW3cLine, 50),
        Times(kLtsv, 3),
        "x\r\ny\rz",  // no format: read as it is, line ends and all
    };
    for (const std::string& log : logs) {
        const LogFormat format =
            DetectLogFormat(log.substr(0, kFormatSniffBytes), log.size() < kFormatSniffBytes);
        const std::string crlf = [&] {  // the same log with CR LF line ends
            std::string with;
            for (const char c : log) with += c == '\n' ? std::string("\r\n") : std::string(1, c);
            return with;
        }();
        const std::string expected = IsConverted(format) ? Converted(format, log) : log;
        for (const std::size_t piece : {std::size_t{1}, std::size_t{7}, std::size_t{4096}}) {
            for (const std::string* text : {&log, &crlf}) {
                if (!IsConverted(format) && text == &crlf) continue;
                StringSink sink;
                ConvertingSink converting(sink);
                for (std::size_t at = 0; at < text->size(); at += piece)
                    converting.Append(std::string_view(*text).substr(at, piece));
                converting.End();
                EXPECT_EQ(converting.Format(), format);
                EXPECT_EQ(sink.text, expected) << piece;
            }
        }
    }
}

TEST_F(JapanTime, RotatedLogsOfTwoFormatsReadAsOne) {
    namespace fs = std::filesystem;
    const fs::path folder =
        fs::temp_directory_path() / ("pomurina-formats-" + std::to_string(getpid()));
    fs::create_directories(folder);
    const struct {
        const char* name;
        std::string text;
    } files[] = {{"access.log.2", kCloudFrontHeader + kCloudFrontLine},
                 {"access.log.1", Times(kLtsv, 2)},
                 {"access.log", kCombined}};
    std::vector<std::string> paths;
    for (const auto& file : files) {
        std::ofstream(folder / file.name, std::ios::binary) << file.text;
        paths.push_back((folder / file.name).string());
    }
    LogReading reading(paths);
    reading.KeepOriginals();
    MemoryBudget budget(RunMemory());
    LogText text(budget);
    reading.ReadInto(text, [](std::size_t, bool) {});
    text.Finish();
    const std::string ltsvLine =
        "203.0.113.5 vhost=shop.example.jp - [08/Dec/2026:10:00:00 +0900] \"GET /a.html "
        "HTTP/1.1\" 200 512 \"https://www.google.co.jp/\" \"Mozilla/5.0 (Windows NT 10.0)\"\n";
    EXPECT_EQ(std::string(text.Bytes()->View()),
              Converted(LogFormat::CloudFront, kCloudFrontHeader + kCloudFrontLine) + ltsvLine +
                  ltsvLine + kCombined);
    EXPECT_EQ(reading.Formats(), (std::vector<LogFormat>{LogFormat::CloudFront, LogFormat::Ltsv,
                                                         LogFormat::Combined}));
    // Each file's format told from its first lines alone, unpacked first
    // when packed; a log of no format, one that can't be read.
    for (std::size_t i = 0; i < paths.size(); ++i) {
        EXPECT_EQ(FirstLinesFormat(paths[i]), reading.Formats()[i]) << paths[i];
        std::ofstream(paths[i] + ".xz", std::ios::binary)
            << testing::RunFilter("xz", files[i].text);
        EXPECT_EQ(FirstLinesFormat(paths[i] + ".xz"), reading.Formats()[i]) << paths[i];
    }
    std::ofstream(folder / "odd.log") << "no time stamp\n";
    EXPECT_EQ(FirstLinesFormat((folder / "odd.log").string()), LogFormat::Unknown);
    EXPECT_EQ(FirstLinesFormat((folder / "missing.log").string()), std::nullopt);
    // An empty log, packed or not, has no line to tell a format by.
    std::ofstream(folder / "empty.log").flush();
    std::ofstream(folder / "empty.log.gz", std::ios::binary) << testing::RunFilter("gzip -n", "");
    EXPECT_EQ(FirstLinesFormat((folder / "empty.log").string()), std::nullopt);
    EXPECT_EQ(FirstLinesFormat((folder / "empty.log.gz").string()), std::nullopt);
    // The converted logs as their files have them, and where their lines came from.
    const auto& originals = reading.Originals();
    ASSERT_EQ(originals.size(), 3u);
    ASSERT_TRUE(originals[0] && originals[1]);
    EXPECT_FALSE(originals[2]);
    EXPECT_EQ(originals[0]->bytes, files[0].text);
    EXPECT_EQ(originals[0]->runBytesBefore, 0u);
    EXPECT_EQ(originals[0]->lineOf, (std::vector<std::uint64_t>{2}));  // after #Version, #Fields
    EXPECT_EQ(originals[1]->bytes, files[1].text);
    EXPECT_EQ(originals[1]->runBytesBefore,
              Converted(LogFormat::CloudFront, kCloudFrontHeader + kCloudFrontLine).size());
    EXPECT_EQ(originals[1]->lineOf, (std::vector<std::uint64_t>{0, 1}));
    fs::remove_all(folder);
}

}  // namespace
}  // namespace pomurina
