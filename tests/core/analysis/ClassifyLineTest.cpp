// How one log line is taken apart and counted.
#include <gtest/gtest.h>

#include "AnalysisTestSupport.h"
#include "text/Cp932.h"
#include "Errors.h"

using namespace pomurina;
using namespace pomurina::testing;
using V = std::vector<std::string>;

namespace {

const std::string kSample =
    "192.0.2.7 - - [06/Dec/2026:09:15:02 +0900] \"GET /diary/index.html HTTP/1.1\" 200 5120 "
    "\"/top.html\" "
    "\"Mozilla/4.0 (compatible; MSIE 6.0)\"";
const std::string kTime = "[06/Dec/2026:09:15:02 +0900]";

// A combined-format line with the parts that vary.
std::string Line(const std::string& host, const std::string& request, const std::string& status,
                 const std::string& size = "100", const std::string& referrer = "-",
                 const std::string& agent = "Mozilla/5.0", const std::string& hour = "09") {
    return host + " - - [06/Dec/2026:" + hour + ":15:02 +0900] \"" + request + "\" " + status +
           " " + size + " \"" + referrer + "\" \"" + agent + "\"";
}

std::string ConvertMessage(const std::function<void()>& action) {
    try {
        action();
    } catch (const ConvertError& e) {
        return e.Message();
    }
    return "no error";
}

}  // namespace

TEST(ClassifyLine, TheWorkedSampleLine) {
    const auto r = Classify(kSample + "\n", MakeLists({}, {}, {"MSIE"}));
    EXPECT_EQ(LinesOf(*r->HostExtract), V{kTime + " 192.0.2.7 /diary/index.html"});
    EXPECT_EQ(LinesOf(*r->GetExtract), V{kTime + " /diary/index.html"});
    EXPECT_EQ(LinesOf(*r->ReferrerHits), V{kTime + " [/top.html] /diary/index.html"});
    EXPECT_EQ(LinesOf(*r->ForeignReferrers), V{"[/top.html] /diary/index.html"});
    EXPECT_EQ(
        LinesOf(*r->RobotHits),
        V{"*192.0.2.7 " + kTime + " [/diary/index.html] \"Mozilla/4.0 (compatible; MSIE 6.0)\""});
    EXPECT_EQ(LinesOf(*r->HostNames.Entries()), V{"192.0.2.7"});
    EXPECT_EQ(LinesOf(*r->GetFiles.Entries()), V{"/diary/index.html"});
    EXPECT_EQ(r->AllHours[9], 1);
    EXPECT_EQ(r->GetHours[9], 1);
    EXPECT_EQ(r->GetCount, 1);
    EXPECT_EQ(r->Get200Count, 1);
    EXPECT_EQ(r->Host200Count, 1);
    EXPECT_EQ(r->HostCount, 1);
    EXPECT_EQ(r->GetFileCount, 1);
    EXPECT_EQ(r->TransferTotal, 5120.0);
    EXPECT_EQ(
        r->HostOther->Count() + r->GetOther->Count() + r->Host403->Count() + r->Get404->Count(),
        0u);
    EXPECT_EQ(r->PostCount, 0);
}

TEST(ClassifyLine, OwnDomainsKeepReferrersOffTheForeignList) {
    const auto own = Classify(kSample, MakeLists({"top"}));
    EXPECT_EQ(own->ReferrerHits->Count(), 1u);
    EXPECT_EQ(own->ForeignReferrers->Count(), 0u);
    // Matched with the case it has, and an empty entry matches nothing.
    const auto other = Classify(kSample, MakeLists({"TOP", ""}));
    EXPECT_EQ(other->ForeignReferrers->Count(), 1u);
}

TEST(ClassifyLine, HostsAndFilesAreDistinctIgnoringCaseFirstFormStays) {
    const auto r = Classify(Line("pc-01", "GET /index.html HTTP/1.0", "200") + "\n" +
                            Line("PC-01", "GET /Index.html HTTP/1.0", "200") + "\n" +
                            Line("pc-02", "POST /A HTTP/1.0", "200") + "\n" +
                            Line("pc-02", "POST /a HTTP/1.0", "200") + "\n" +
                            "nohost[06/Dec/2026:10:00:00]\n" + "[06/Dec/2026:11:00:00]x\n");
    EXPECT_EQ(LinesOf(*r->HostNames.Entries()),
              (V{"pc-01", "pc-02", ""}));  // a line with no blank has an empty host
    EXPECT_EQ(r->HostCount, 3);
    EXPECT_EQ(LinesOf(*r->GetFiles.Entries()), V{"/index.html"});
    EXPECT_EQ(LinesOf(*r->PostFiles.Entries()), V{"/A"});
    EXPECT_EQ(r->PostFileCount, 1);
    EXPECT_EQ(r->HostExtract->Count(), 6u);
}

TEST(ClassifyLine, WatchedDomainsAreSearchedInTheHostOnlyOncePerEntry) {
    const std::string line =
        Line("crawl.example.com", "GET / HTTP/1.0", "200", "5", "http://example.com/");
    const auto r = Classify(line, MakeLists({}, {"example", "crawl", "missing", "", "http"}));
    EXPECT_EQ(LinesOf(*r->CheckDomeinHits), (V{line, line}));
}

TEST(ClassifyLine, ADashBetweenQuotesSkipsTheReferrerStep) {
    EXPECT_EQ(Classify(Line("h", "GET /a HTTP/1.0", "200", "1", "-"))->ReferrerHits->Count(), 0u);
    // The user agent "-" skips it too, even with a real referrer.
    EXPECT_EQ(
        Classify(Line("h", "GET /a HTTP/1.0", "200", "1", "http://x/", "-"))->ReferrerHits->Count(),
        0u);
}

TEST(ClassifyLine, CommonFormatLines) {
    // No referrer and agent fields: the referrer is empty, the size runs to the end of the line.
    const std::string notFound =
        "h - - [06/Dec/2026:09:00:00 -0400] \"GET /a.html HTTP/1.0\" 404 -";
    const std::string ok = "h - - [06/Dec/2026:09:00:00 -0400] \"GET /b.html HTTP/1.0\" 200 6245";
    const auto r = Classify(notFound + "\n" + ok);
    EXPECT_EQ(LinesOf(*r->ForeignReferrers), (V{"[] /a.html", "[] /b.html"}));
    EXPECT_EQ(LinesOf(*r->ReferrerHits)[0], "[06/Dec/2026:09:00:00 -0400] [] /a.html");
    EXPECT_EQ(r->TransferTotal, 6245.0);
    EXPECT_EQ(LinesOf(*r->Get404), V{"[06/Dec/2026:09:00:00 -0400] h /a.html"});
}

TEST(ClassifyLine, SizesOfSuccessfulGets) {
    EXPECT_EQ(Classify(Line("h", "GET /a HTTP/1.0", "200", "-"))->TransferTotal,
              0.0);  // an empty body
    EXPECT_EQ(Classify(Line("h", "GET /a HTTP/1.0", "200", "3000000000"))->TransferTotal, 3e9);
    EXPECT_EQ(Classify(Line("h", "GET /a HTTP/1.0", "200", "$FFFFFFFF"))->TransferTotal,
              4294967295.0);
    EXPECT_EQ(Classify(Line("h", "POST /a HTTP/1.0", "200", "junk"))->Post200Count,
              1);  // POST sizes are not read
    // A size that still isn't a number stops the run after counting the 200.
    const std::string bad = Line("h", "GET /a HTTP/1.0", "200", "12kb");
    std::unique_ptr<CountingResult> r;
    EXPECT_EQ(ConvertMessage([&] { r = Classify(bad); }),
              Utf8ToCp932("'12kb' は整数ではありません"));
    auto lines = std::make_shared<const TextLines>(bad);
    CountingResult partial(lines);
    EXPECT_THROW(ClassifyLine(lines->At(0), MakeLists(), partial), ConvertError);
    EXPECT_EQ(partial.Get200Count, 1);
    EXPECT_EQ(partial.GetExtract->Count(), 1u);
    EXPECT_EQ(partial.Host200Count, 0);
    EXPECT_EQ(partial.ReferrerHits->Count(), 0u);
}

TEST(ClassifyLine, HoursAreTakenAsWritten) {
    const auto r =
        Classify(Line("h", "HEAD / HTTP/1.0", "200", "-", "-", "a", "00") + "\n" +
                 Line("h", "GET / HTTP/1.0", "304", "-", "-", "a", "23") + "\n" +
                 // An hour outside the day counts in no hour slot; the rest of the line counts.
                 Line("h", "POST / HTTP/1.0", "200", "-", "-", "a", "99"));
    EXPECT_EQ(r->AllHours[0], 1);
    EXPECT_EQ(r->AllHours[23], 1);
    EXPECT_EQ(r->GetHours[23], 1);
    EXPECT_EQ(r->PostCount, 1);
    std::int64_t sum = 0;
    for (const auto count : r->PostHours) sum += count;
    EXPECT_EQ(sum, 0);
    EXPECT_EQ(ConvertMessage([] { Classify("\n"); }), Utf8ToCp932("'' は整数ではありません"));
    EXPECT_EQ(ConvertMessage([] { Classify("h [06/Dec/2026:ab:00:00]"); }),
              Utf8ToCp932("'ab' は整数ではありません"));
    // With no "[" the 14th and 15th characters of the line are the hour.
    EXPECT_EQ(Classify("abcdefghijklm07x")->AllHours[7], 1);
}

TEST(ClassifyLine, RobotsByListedStringAnywhereOrByTheRobotsFile) {
    const auto lists = MakeLists({}, {}, {"crawl"});
    const auto r =
        Classify(Line("a", "GET /ROBOTS.TXT HTTP/1.0", "200", "1", "-", "Mozilla") + "\n" +
                     Line("b", "GET /Robots.txt HTTP/1.0", "404", "1", "-", "crawler") + "\n" +
                     Line("c", "GET /robots.txt?x=1 HTTP/1.0", "200", "1") + "\n" +
                     Line("d", "GET /robotics HTTP/1.0", "200", "1", "http://crawl.example/"),
                 lists);
    EXPECT_EQ(LinesOf(*r->RobotHits),
              (V{"a " + std::string("[06/Dec/2026:09:15:02 +0900]") + " \"Mozilla\"",
                 "*b [06/Dec/2026:09:15:02 +0900] [/Robots.txt] \"crawler\"",
                 "*d [06/Dec/2026:09:15:02 +0900] [/robotics] \"Mozilla/5.0\""}));
}

TEST(ClassifyLine, FaviconCountsOnlyInGetLines) {
    const auto r = Classify(
        Line("a", "GET /favicon.ico HTTP/1.0", "200", "1", "-", "x (compatible; MSIE 6.0)") + "\n" +
        Line("a", "GET / HTTP/1.0", "200", "1", "http://x/favicon.ico") + "\n" +
        Line("a", "POST /favicon.ico HTTP/1.0", "200"));
    EXPECT_EQ(r->FaviconCount, 2);
    EXPECT_EQ(r->FaviconMsieCount, 1);
}

TEST(ClassifyLine, StatusesSortLinesIntoTheirCollections) {
    const std::string notModified = Line("h", "GET /n HTTP/1.0", "304", "-");
    const std::string forbidden = Line("h", "POST /f HTTP/1.0", "403");
    const std::string head = Line("h", "HEAD /x HTTP/1.0", "404");
    const auto r = Classify(notModified + "\n" + forbidden + "\n" + head);
    EXPECT_EQ(LinesOf(*r->GetOther), V{notModified});
    EXPECT_EQ(LinesOf(*r->HostOther), V{notModified});
    EXPECT_EQ(r->TransferTotal, 0.0);
    EXPECT_EQ(LinesOf(*r->Post403), V{"[06/Dec/2026:09:15:02 +0900] h /f"});
    // The connection-level entries carry the POST path, and for other methods the request's path.
    EXPECT_EQ(LinesOf(*r->Host403), V{"[06/Dec/2026:09:15:02 +0900] h /f"});
    EXPECT_EQ(LinesOf(*r->Host404), V{"[06/Dec/2026:09:15:02 +0900] h /x"});
    EXPECT_EQ(r->GetCount, 1);
    EXPECT_EQ(r->HostExtract->Count(), 3u);
}

TEST(ClassifyLine, OddRequests) {
    // "POST" needs no blank after it: the quote and five characters are skipped whatever they are.
    const auto postx = Classify(Line("h", "POSTX /a HTTP/1.0", "200"));
    EXPECT_EQ(LinesOf(*postx->PostFiles.Entries()), V{" /a"});
    // A GET without " HTTP" has an empty path, listed once.
    const auto bare = Classify(Line("h", "GET /", "200") + "\n" + Line("h", "GET /x", "200"));
    EXPECT_EQ(LinesOf(*bare->GetFiles.Entries()), V{""});
    EXPECT_EQ(bare->GetFileCount, 1);
    // Requests other than GET and POST: the path after the first blank that
    // follows the first quote, up to " HTTP"; empty without one.
    const auto other =
        Classify(Line("h", "OPTIONS * HTTP/1.0", "200") + "\n" + Line("h", "-", "408") + "\n" +
                 "h [06/Dec/2026:09:15:02 +0900] no quote at all");
    EXPECT_EQ(LinesOf(*other->HostExtract),
              (V{"[06/Dec/2026:09:15:02 +0900] h *", "[06/Dec/2026:09:15:02 +0900] h ",
                 "[06/Dec/2026:09:15:02 +0900] h "}));
    // A line that is both GET and POST goes through both branches.
    const auto both =
        Classify("h [06/Dec/2026:09:15:02 +0900] \"GET /g HTTP/1.0\" \"POST /p HTTP/1.0\" 200 1");
    EXPECT_EQ(both->GetCount, 1);
    EXPECT_EQ(both->PostCount, 1);
    EXPECT_EQ(both->Host200Count, 1);
}

TEST(ClassifyLine, ShiftJisAndBinaryBytesPassThrough) {
    const std::string host = Utf8ToCp932("ホスト");
    const std::string path = std::string("/\x82\xA0\x80\xFF\x01", 5);
    const auto r = Classify(Line(host, "GET " + path + " HTTP/1.0", "200"));
    EXPECT_EQ(LinesOf(*r->GetExtract), V{"[06/Dec/2026:09:15:02 +0900] " + path});
    EXPECT_EQ(LinesOf(*r->HostNames.Entries()), V{host});
}
