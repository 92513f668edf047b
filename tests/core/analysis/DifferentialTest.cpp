// The engine against a deliberately naive reading of the same rules, written
// apart from it: plain std::string searches, distinctness by scanning every
// entry held, every reference entry searched on its own.
#include <gtest/gtest.h>

#include <array>
#include <random>

#include "AnalysisTestSupport.h"
#include "ServerProcess.h"
#include "analysis/Summary.h"
#include "text/CaseFold.h"
#include "text/IntegerText.h"
#include "text/TextLines.h"

using namespace pomurina;
using namespace pomurina::testing;

namespace {

struct Naive {
    std::vector<std::string> hostKeys, getKeys, postKeys;
    std::vector<std::string> hostExtract, hostNames, checkHits, getExtract, getFiles, get403,
        get404, getOther, referrerHits, foreign, robots, postExtract, postFiles, post403, post404,
        postOther, host403, host404, hostOther;
    std::array<std::int64_t, 24> all{}, get{}, post{};
    std::int64_t getCount = 0, get200 = 0, postCount = 0, post200 = 0, host200 = 0, favicon = 0,
                 faviconMsie = 0;
    double total = 0;
};

// s[from...] as std::string::substr does, but empty beyond the end.
std::string Sub(const std::string& s, std::size_t from, std::size_t count = std::string::npos) {
    return from >= s.size() ? std::string() : s.substr(from, count);
}

bool Has(const std::string& s, const std::string& x) {
    return !x.empty() && s.find(x) != std::string::npos;
}

// Linear: every entry held is compared (by its folded form, kept beside it).
void AddDistinct(std::vector<std::string>& list, std::vector<std::string>& folded,
                 const std::string& text) {
    std::string key;
    FoldKey(text, key);
    for (const auto& held : folded)
        if (held == key) return;
    list.push_back(text);
    folded.push_back(key);
}

// Returns false where the run would stop (a bad hour or size).
bool NaiveLine(const std::string& L, const ReferenceLists& lists, Naive& n) {
    const std::size_t bracket = L.find('[');
    const std::string time = Sub(L, bracket == std::string::npos ? 0 : bracket, 28);
    const auto hour = ParseInteger(Sub(time, 13, 2), INT32_MIN, INT32_MAX);
    if (!hour) return false;
    const bool inDay = *hour >= 0 && *hour <= 23;
    if (inDay) ++n.all[static_cast<std::size_t>(*hour)];
    const std::size_t blank = L.find(' ');
    const std::string host = blank == std::string::npos ? "" : L.substr(0, blank);

    const std::size_t g = L.find("\"GET "), p = L.find("\"POST");
    std::string getRest, getPath, postPath, path;
    if (g != std::string::npos) {
        getRest = L.substr(g + 1);
        const std::size_t http = getRest.find(" HTTP");
        getPath = http == std::string::npos || http < 4 ? "" : Sub(L, g + 5, http - 4);
    }
    if (p != std::string::npos) {
        const std::string postRest = L.substr(p + 1);
        const std::size_t http = postRest.find(" HTTP");
        postPath = http == std::string::npos || http < 5 ? "" : Sub(L, p + 6, http - 5);
    }
    if (g != std::string::npos) {
        path = getPath;
    } else if (p != std::string::npos) {
        path = postPath;
    } else {
        const std::size_t q = L.find('"');
        const std::size_t s = q == std::string::npos ? q : L.find(' ', q + 1);
        const std::size_t h = s == std::string::npos ? s : L.find(" HTTP", s + 1);
        if (h != std::string::npos) path = L.substr(s + 1, h - s - 1);
    }
    n.hostExtract.push_back(time + " " + host + " " + path);
    AddDistinct(n.hostNames, n.hostKeys, host);
    for (const auto& w : lists.WatchedDomains.Lines())
        if (Has(host, w)) n.checkHits.push_back(L);

    const bool ok = Has(L, "\" 200 "), forbidden = Has(L, "\" 403 "), missing = Has(L, "\" 404 ");
    if (g != std::string::npos) {
        if (inDay) ++n.get[static_cast<std::size_t>(*hour)];
        n.getExtract.push_back(time + " " + getPath);
        ++n.getCount;
        AddDistinct(n.getFiles, n.getKeys, getPath);
        if (ok) {
            ++n.get200;
            std::string size = Sub(L, L.find("\" 200") + 6);
            size = size.substr(0, size.find(' '));
            if (size != "-") {
                const auto value = ParseInteger(size, INT64_MIN, INT64_MAX);
                if (!value) return false;
                n.total += static_cast<double>(*value);
            }
        } else if (forbidden) {
            n.get403.push_back(time + " " + host + " " + getPath);
        } else if (missing) {
            n.get404.push_back(time + " " + host + " " + getPath);
        } else {
            n.getOther.push_back(L);
        }
        const std::size_t b = getRest.find("\" \"");
        if (!Has(getRest, "\"-\"")) {
            const std::size_t a = getRest.find(" \"");
            std::string referrer;
            if (b != std::string::npos) {
                const std::size_t from = a == std::string::npos ? 1 : a + 2;
                if (b > from) referrer = getRest.substr(from, b - from);
            }
            n.referrerHits.push_back(time + " [" + referrer + "] " + getPath);
            bool own = false;
            for (const auto& d : lists.OwnDomains.Lines()) own = own || Has(referrer, d);
            if (!own) n.foreign.push_back("[" + referrer + "] " + getPath);
        }
        bool robot = false;
        for (const auto& r : lists.RobotStrings.Lines()) robot = robot || Has(L, r);
        std::string lower = getPath;
        for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        const std::string agent = Sub(getRest, b == std::string::npos ? 1 : b + 2);
        if (robot)
            n.robots.push_back("*" + host + " " + time + " [" + getPath + "] " + agent);
        else if (lower == "/robots.txt")
            n.robots.push_back(host + " " + time + " " + agent);
        if (Has(L, "favicon.ico")) {
            ++n.favicon;
            n.faviconMsie += Has(L, " MSIE ");
        }
    }
    if (p != std::string::npos) {
        if (inDay) ++n.post[static_cast<std::size_t>(*hour)];
        n.postExtract.push_back(time + " " + postPath);
        ++n.postCount;
        AddDistinct(n.postFiles, n.postKeys, postPath);
        if (ok)
            ++n.post200;
        else if (forbidden)
            n.post403.push_back(time + " " + host + " " + postPath);
        else if (missing)
            n.post404.push_back(time + " " + host + " " + postPath);
        else
            n.postOther.push_back(L);
    }
    if (ok)
        ++n.host200;
    else if (forbidden)
        n.host403.push_back(time + " " + host + " " + path);
    else if (missing)
        n.host404.push_back(time + " " + host + " " + path);
    else
        n.hostOther.push_back(L);
    return true;
}

std::string Generated(long long lines, int seed) {
    const std::string command = std::string(POMURINA_GENLOG) + " --lines " + std::to_string(lines) +
                                " --seed " + std::to_string(seed) + " --visitors 400";
    return test::RunCommand(command).out;
}

// Damages some lines the way real logs are damaged: cut short, bytes changed, fields dropped.
std::string Damaged(const std::string& text, int seed) {
    std::mt19937 random(static_cast<unsigned>(seed));
    std::string out;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        std::string line = text.substr(start, end - start);
        start = end + 1;
        switch (random() % 40) {
            case 0:
                line = line.substr(0, random() % (line.size() + 1));
                break;
            case 1:
                line[random() % line.size()] = static_cast<char>(random() % 256);
                break;
            case 2:
                line.insert(random() % line.size(), "\" \"-\" \" HTTP");
                break;
            case 3:
                line.insert(random() % line.size(), "\x82\xA0\x83\x7F\x80");
                break;
            case 4:
                line = line.substr(0, line.find(" \"")) + " 200 -";
                break;
            default:
                break;
        }
        if (line.find('\n') == std::string::npos && line.find('\r') == std::string::npos &&
            line.find('\0') == std::string::npos)
            out += line + "\n";
    }
    return out;
}

}  // namespace

TEST(Differential, TheEngineAgreesWithANaiveReadingOnGeneratedLogs) {
    const ReferenceLists lists = MakeLists(
        {"pomurina-example.jp", "blog.example"}, {"ocn.ne.jp", "2001:db8:1", "tokyo"},
        {"Googlebot", "bingbot", "YandexBot", "curl", "GPTBot", "facebookexternalhit", "Go"});
    for (int seed = 1; seed <= 2; ++seed) {
        SCOPED_TRACE(seed);
        const std::string text = Damaged(Generated(100000, seed), seed);  // 200,000 lines in all
        auto lines = std::make_shared<const TextLines>(text);
        CountingResult r(lines);
        Naive n;
        int failures = 0;
        for (std::size_t i = 0; i < lines->Count(); ++i) {
            const std::string line(lines->At(i));
            bool engineOk = true;
            try {
                ClassifyLine(lines->At(i), lists, r);  // the line as it lies in the loaded bytes
            } catch (const std::exception&) {
                engineOk = false;
            }
            // A failing line would stop a run; here both readings go on, to compare more lines.
            const std::size_t extracts = n.hostExtract.size();
            ASSERT_EQ(NaiveLine(line, lists, n), engineOk) << line;
            failures += !engineOk;
            // The host extract is composed from the line when shown (in a run,
            // line by line from the first, so no failing line comes between).
            if (n.hostExtract.size() > extracts) {
                std::string composed;
                HostExtractLines::Compose(lines->At(i), composed);
                ASSERT_EQ(composed, n.hostExtract.back());
            }
        }
        EXPECT_GT(lines->Count(), 99900u);  // a few damaged lines held a line break
        EXPECT_GT(failures, 100);
        EXPECT_EQ(LinesOf(*r.HostNames.Entries()), n.hostNames);
        EXPECT_EQ(LinesOf(*r.CheckDomeinHits), n.checkHits);
        EXPECT_EQ(LinesOf(*r.GetExtract), n.getExtract);
        EXPECT_EQ(LinesOf(*r.GetFiles.Entries()), n.getFiles);
        EXPECT_EQ(LinesOf(*r.Get403), n.get403);
        EXPECT_EQ(LinesOf(*r.Get404), n.get404);
        EXPECT_EQ(LinesOf(*r.GetOther), n.getOther);
        EXPECT_EQ(LinesOf(*r.ReferrerHits), n.referrerHits);
        EXPECT_EQ(LinesOf(*r.ForeignReferrers), n.foreign);
        EXPECT_EQ(LinesOf(*r.RobotHits), n.robots);
        EXPECT_EQ(LinesOf(*r.PostExtract), n.postExtract);
        EXPECT_EQ(LinesOf(*r.PostFiles.Entries()), n.postFiles);
        EXPECT_EQ(LinesOf(*r.Post403), n.post403);
        EXPECT_EQ(LinesOf(*r.Post404), n.post404);
        EXPECT_EQ(LinesOf(*r.PostOther), n.postOther);
        EXPECT_EQ(LinesOf(*r.Host403), n.host403);
        EXPECT_EQ(LinesOf(*r.Host404), n.host404);
        EXPECT_EQ(LinesOf(*r.HostOther), n.hostOther);
        EXPECT_EQ(r.AllHours, n.all);
        EXPECT_EQ(r.GetHours, n.get);
        EXPECT_EQ(r.PostHours, n.post);
        EXPECT_EQ(r.HostCount, static_cast<std::int64_t>(n.hostNames.size()));
        EXPECT_EQ(r.GetCount, n.getCount);
        EXPECT_EQ(r.Get200Count, n.get200);
        EXPECT_EQ(r.PostCount, n.postCount);
        EXPECT_EQ(r.Post200Count, n.post200);
        EXPECT_EQ(r.Host200Count, n.host200);
        EXPECT_EQ(r.FaviconCount, n.favicon);
        EXPECT_EQ(r.FaviconMsieCount, n.faviconMsie);
        EXPECT_EQ(r.TransferTotal, n.total);

        // The summary's boxes count what the naive reading holds.
        r.LineCount = static_cast<std::int64_t>(lines->Count());  // as a run counts them
        const Summary s = SummaryOf(r);
        const auto count = [](const std::vector<std::string>& v) {
            return static_cast<std::int64_t>(v.size());
        };
        const std::int64_t hosts = count(n.hostNames);
        EXPECT_EQ(s.connections, (RequestCounts{r.LineCount, hosts, n.host200, count(n.host403),
                                                count(n.host404)}));
        EXPECT_EQ(s.get, (RequestCounts{n.getCount, count(n.getFiles), n.get200, count(n.get403),
                                        count(n.get404)}));
        EXPECT_EQ(s.post, (RequestCounts{n.postCount, count(n.postFiles), n.post200,
                                         count(n.post403), count(n.post404)}));
        EXPECT_EQ(s.requestsPerHost, n.get200 / hosts);
        EXPECT_TRUE(s.complete);
    }
}
