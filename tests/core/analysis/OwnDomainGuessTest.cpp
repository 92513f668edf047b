// The likely own domain: the host of a referrer URL, table by table, and the
// host named most often, against a plain reading of the log's referrer
// fields on the real logs and on generated ones.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <regex>

#include "AnalysisTestSupport.h"
#include "ServerProcess.h"
#include "analysis/OwnDomainGuess.h"
#include "io/FileIo.h"

using namespace pomurina;
using namespace pomurina::testing;
namespace fs = std::filesystem;

namespace {

TEST(ReferrerHost, TakesTheHostOfAnHttpUrlOnly) {
    const std::string longName(254, 'a');
    const struct {
        std::string referrer;
        const char* host;
    } cases[] = {
        {"http://www.example.jp/index.html", "www.example.jp"},
        {"https://example.jp", "example.jp"},
        {"HTTPS://Example.JP:8443/a?b#c", "Example.JP"},
        {"http://user:pw@shop.example.jp/", "shop.example.jp"},
        {"http://a@b@c.example.jp/x@y", "c.example.jp"},
        {"http://example.jp?q=1", "example.jp"},
        {"http://under_score-dash.example.jp/", "under_score-dash.example.jp"},
        {"http://[2001:db8::1]:8080/", "[2001:db8::1]"},
        {"http://[::1]x/", ""},
        {"http://[]/", ""},
        {"http://[2001:db8::g]/", ""},
        {"http://example.jp\x1b]52;c;/", ""},  // a terminal escape is no host
        {"http://<a href=x>/", ""},
        {"http://日本.jp/", ""},  // bytes outside ASCII: not taken
        {"http:///path", ""},
        {"http://:80/", ""},
        {"ftp://example.jp/", ""},
        {"android-app://com.example/", ""},
        {"-", ""},
        {"", ""},
        {"http://" + longName + "/", ""},
        {"http://" + longName.substr(1, 253) + "/", nullptr},  // 253 bytes: taken
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.referrer);
        const std::string expected = c.host ? c.host : longName.substr(1, 253);
        EXPECT_EQ(ReferrerHost(c.referrer), expected);
    }
}

TEST(MostReferringHost, MostOftenAndOfEqualCountsTheFirstSeen) {
    const auto line = [](const std::string& referrer) {
        return "192.0.2.1 - - [05/Mar/2020:06:24:06 +0900] \"GET /a HTTP/1.1\" 200 1 \"" +
               referrer + "\" \"UA\"\n";
    };
    const struct {
        std::vector<std::string> referrers;
        const char* host;
    } cases[] = {
        {{"http://b.jp/", "http://a.jp/", "http://a.jp/x", "http://b.jp/y"}, "b.jp"},
        {{"http://b.jp/", "http://a.jp/", "http://a.jp/x"}, "a.jp"},
        {{"ftp://a.jp/", "-", "http://bad host/"}, ""},
        {{}, ""},
    };
    for (const auto& c : cases) {
        std::string log;
        for (const std::string& referrer : c.referrers) log += line(referrer);
        EXPECT_EQ(MostReferringHost(*Classify(log)->ReferrerHits, 1), c.host);
    }
}

// The plain reading: GET lines without a "-" field, the fourth field between
// quotes, its host by a regular expression, counted in a map.
std::string PlainGuess(const std::string& text) {
    static const std::regex url(
        R"(^[hH][tT][tT][pP][sS]?://(?:[^/?#]*@)?([A-Za-z0-9._-]+|\[[0-9A-Fa-f:.]{2,}\])(?::[^/?#]*)?(?:[/?#].*)?$)");
    std::map<std::string, std::pair<long long, std::size_t>> seen;  // count, -first line
    std::size_t start = 0, index = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.find("\"GET ") == std::string::npos || line.find("\"-\"") != std::string::npos)
            continue;
        std::vector<std::string> fields;
        for (std::size_t from = 0;;) {
            const std::size_t quote = line.find('"', from);
            fields.push_back(line.substr(from, quote - from));
            if (quote == std::string::npos) break;
            from = quote + 1;
        }
        std::smatch found;
        if (fields.size() < 5 || !std::regex_match(fields[3], found, url)) continue;
        if (found[1].length() > 253) continue;
        auto& [count, first] = seen.try_emplace(found[1].str(), 0, index++).first->second;
        ++count;
    }
    std::string best;
    std::pair<long long, std::size_t> bestSeen{0, 0};
    for (const auto& [host, s] : seen)
        if (s.first > bestSeen.first || (s.first == bestSeen.first && s.second < bestSeen.second)) {
            best = host;
            bestSeen = s;
        }
    return best;
}

TEST(MostReferringHost, AgreesWithAPlainReadingOnRealAndGeneratedLogs) {
    std::vector<std::pair<std::string, std::string>> logs;  // name, text
    const fs::path folder = POMURINA_REALLOGS;
    if (fs::exists(folder))
        for (const auto& entry : fs::directory_iterator(folder))
            if (entry.path().extension() == ".log") {
                std::string text;
                ASSERT_EQ(ReadWholeFile(entry.path().string(), text), 0);
                logs.emplace_back(entry.path().filename().string(), text);
            }
    for (const char* site : {"www.pomurina-example.jp", "shop.example.co.jp"}) {
        const std::string command =
            std::string(POMURINA_GENLOG) + " --lines 20000 --seed 7 --site " + site;
        logs.emplace_back(site, test::RunCommand(command).out);
    }
    std::size_t guessed = 0;
    for (const auto& [name, text] : logs) {
        SCOPED_TRACE(name);
        const std::string guess = MostReferringHost(*Classify(text)->ReferrerHits, 1);
        EXPECT_EQ(guess, PlainGuess(text));
        guessed += !guess.empty();
    }
    EXPECT_GE(guessed, 2u);
    std::printf("[ guesses  ] %zu of %zu logs\n", guessed, logs.size());
}

}  // namespace
