// The rule files as the user edits them, the agent rules, the referrer's
// parts and the search engines.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

#include "Errors.h"
#include "TempDir.h"
#include "insight/InsightRules.h"
#include "text/Cp932.h"

using namespace pomurina;
using namespace std::string_literals;

namespace {

using Fields = std::vector<RuleFields>;

const std::string& DefaultAgentRules() {
    static const std::string text = pomurina::testing::ReadFileBytes(
        std::filesystem::path(POMURINA_SOURCE_DIR) / "defaults/materia/UserAgentRules.dat");
    return text;
}

// The names an agent gets from the shipped rules: browser, system, device, robot.
std::string Named(std::string_view agent) {
    static const AgentRules rules(ReadRuleLines(DefaultAgentRules()));
    const AgentMatch m = rules.Match(agent);
    const auto name = [](std::uint32_t rule) {
        return rule == AgentMatch::kNone ? std::string("-") : rules.Rules()[rule].name;
    };
    return name(m.browser) + "|" + name(m.os) + "|" + name(m.device) + "|" + name(m.robot);
}

}  // namespace

TEST(RuleFile, LinesAreReadAsTheListsAreAndNothingIsTrimmed) {
    EXPECT_EQ(ReadRuleLines("a\tb\tc\r\nd\te\tf\rg\th\ti\nj\tk\tl"),
              (Fields{{"a", "b", "c"}, {"d", "e", "f"}, {"g", "h", "i"}, {"j", "k", "l"}}));
    EXPECT_EQ(ReadRuleLines("\xEF\xBB\xBF"
                            "a\tb\tc\n\xEF\xBB\xBF"
                            "d\te\tf"),
              (Fields{{"a", "b", "c"},
                      {"\xEF\xBB\xBF"
                       "d",
                       "e", "f"}}));  // a BOM only at the start
    EXPECT_EQ(ReadRuleLines("a\tb\tc\nd\te\0\tf\ng\th\ti"s),
              (Fields{{"a", "b", "c"}}));  // the first zero byte ends the file
    EXPECT_EQ(ReadRuleLines("#a\tb\tc\n #a\tb\tc\na\tb\nx\ty\tz\tw\n\t\t\n a \t b \t c "),
              (Fields{{" #a", "b", "c"}, {"", "", ""}, {" a ", " b ", " c "}}));
}

TEST(RuleFile, AMissingFileHasNoRulesAndAnUnreadableOneSaysWhy) {
    pomurina::testing::TempDir dir;
    EXPECT_TRUE(LoadRuleFile((dir.Path() / "none.dat").string()).empty());
    const std::string folder = dir.Path().string();
    try {
        LoadRuleFile(folder);
        FAIL() << "a folder read as a rule file";
    } catch (const FileOpenError& e) {
        EXPECT_EQ(Cp932ToUtf8(e.Message()), "ファイル \"" + folder + "\". " +
                                                Cp932ToUtf8(SystemErrorText(EISDIR)) +
                                                " は開けません");
    }
    // A huge file of long junk lines and CR LF ends reads in one pass.
    std::string huge;
    for (int i = 0; i < 200000; ++i)
        huge += std::string(200, 'x') + "\tbot\t" + std::to_string(i) + "\r\n";
    const auto rules = ReadRuleLines(huge);
    ASSERT_EQ(rules.size(), 200000u);
    EXPECT_EQ(AgentRules(rules).Rules().size(), 0u);  // no such kind
}

TEST(AgentRules, KindsAreExactAndAnEmptyTextIsNoRule) {
    const AgentRules rules(Fields{{"bot", "Empty", ""},
                                  {"Bot", "Capital", "x"},
                                  {"browser", "A", "Fox"},
                                  {"browser", "B", "Firefox"},
                                  {"ai", "Crawler", "GPT"},
                                  {"bot", "Generic", "bot"}});
    ASSERT_EQ(rules.Rules().size(), 4u);
    const AgentMatch m = rules.Match("Firefox/1 (Fox) GPTbot");
    EXPECT_EQ(rules.Rules()[m.browser].name, "A");  // the first in file order
    EXPECT_EQ(rules.Rules()[m.robot].name, "Crawler");
    EXPECT_EQ(m.os, AgentMatch::kNone);
    EXPECT_EQ(rules.Match("").robot, AgentMatch::kNone);
    EXPECT_EQ(AgentRules().Match("anything").browser, AgentMatch::kNone);
}

TEST(AgentRules, TheShippedRulesNameTodaysAgents) {
    const struct {
        const char* agent;
        const char* names;
    } cases[] = {
        {"Mozilla/5.0 (Windows NT 10.0; Win64; x64) AppleWebKit/537.36 (KHTML, like Gecko) "
         "Chrome/131.0.0.0 Safari/537.36 Edg/131.0.0.0",
         "Edge|Windows|PC|-"},
        {"Mozilla/5.0 (Windows NT 10.0; Win64; x64) AppleWebKit/537.36 (KHTML, like Gecko) "
         "Chrome/131.0.0.0 Safari/537.36",
         "Chrome|Windows|PC|-"},
        {"Mozilla/5.0 (iPhone; CPU iPhone OS 18_1 like Mac OS X) AppleWebKit/605.1.15 (KHTML, like "
         "Gecko) Version/18.1 Mobile/15E148 Safari/604.1",
         "Safari|iOS|スマートフォン|-"},
        {"Mozilla/5.0 (iPad; CPU OS 17_5 like Mac OS X) AppleWebKit/605.1.15 (KHTML, like Gecko) "
         "Version/17.5 Mobile/15E148 Safari/604.1",
         "Safari|iPadOS|タブレット|-"},
        {"Mozilla/5.0 (Macintosh; Intel Mac OS X 14_7) AppleWebKit/605.1.15 (KHTML, like Gecko) "
         "Version/18.1 Safari/605.1.15",
         "Safari|macOS|PC|-"},
        {"Mozilla/5.0 (Linux; Android 14; SO-51D) AppleWebKit/537.36 (KHTML, like Gecko) "
         "SamsungBrowser/26.0 Chrome/122.0.0.0 Mobile Safari/537.36",
         "Samsung Internet|Android|スマートフォン|-"},
        {"Mozilla/5.0 (Linux; Android 14; SM-X710) AppleWebKit/537.36 (KHTML, like Gecko) "
         "Chrome/131.0.0.0 Safari/537.36",
         "Chrome|Android|タブレット|-"},
        {"Mozilla/5.0 (iPhone; CPU iPhone OS 17_5 like Mac OS X) AppleWebKit/605.1.15 (KHTML, like "
         "Gecko) Mobile/15E148 Safari Line/14.8.0",
         "LINE|iOS|スマートフォン|-"},
        {"Mozilla/5.0 (iPhone; CPU iPhone OS 17_5 like Mac OS X) AppleWebKit/605.1.15 (KHTML, like "
         "Gecko) Version/17.5 Mobile/15E148 Safari/604.1 YJApp-IOS jp.co.yahoo.ipn.appli/4.60.0",
         "Yahoo! JAPAN|iOS|スマートフォン|-"},
        {"Mozilla/5.0 (X11; CrOS x86_64 14541.0.0) AppleWebKit/537.36 (KHTML, like Gecko) "
         "Chrome/131.0.0.0 Safari/537.36",
         "Chrome|ChromeOS|PC|-"},
        {"Mozilla/5.0 (X11; Ubuntu; Linux x86_64; rv:133.0) Gecko/20100101 Firefox/133.0",
         "Firefox|Linux|PC|-"},
        {"Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1)", "Internet Explorer|Windows|PC|-"},
        {"Mozilla/5.0 (compatible; Googlebot/2.1; +http://www.google.com/bot.html)",
         "-|-|-|Googlebot"},
        {"Mozilla/5.0 (Macintosh; Intel Mac OS X 10_15_7) AppleWebKit/605.1.15 (KHTML, like Gecko) "
         "Version/13.1.1 Safari/605.1.15 (Applebot/0.1; +http://www.apple.com/go/applebot)",
         "Safari|macOS|PC|Applebot"},
        {"Mozilla/5.0 AppleWebKit/537.36 (KHTML, like Gecko; compatible; GPTBot/1.2; "
         "+https://openai.com/gptbot)",
         "-|-|-|GPTBot"},
        {"Mozilla/5.0 (compatible; Bytespider; spider-feedback@bytedance.com)", "-|-|-|Bytespider"},
        {"meta-externalagent/1.1 "
         "(+https://developers.facebook.com/docs/sharing/webmasters/crawler)",
         "-|-|-|meta-externalagent"},
        {"Mozilla/5.0 (compatible; SomeNewBot/1.0)", "-|-|-|その他のbot"},
        {"python-requests/2.31.0", "-|-|-|python-requests"},
        {"curl/8.5.0", "-|-|-|curl"},
    };
    for (const auto& c : cases) EXPECT_EQ(Named(c.agent), c.names) << c.agent;
}

TEST(ReferrerUrl, HostAndQueryOfEveryShape) {
    const struct {
        const char* referrer;
        bool isUrl;
        const char* host;
        const char* query;
    } cases[] = {
        {"https://www.google.co.jp/search?q=a&ie=UTF-8", true, "www.google.co.jp", "q=a&ie=UTF-8"},
        {"HTTP://Example.COM", true, "Example.COM", ""},
        {"http://user:pw@host@example.com:8080/x?a#b?c", true, "example.com", "a"},
        {"http://[2001:db8::1]:80/?q", true, "[2001:db8::1]", "q"},
        {"http://host#frag?notquery", true, "host", ""},
        {"http://host?q=1/2", true, "host", "q=1/2"},
        {"https://", true, "", ""},
        {"hTtPs://a.b/", true, "a.b", ""},
        {"http://", true, "", ""},
        {"https:/x", false, "", ""},
        {"httpsx://x", false, "", ""},
        {"HTTP\x1A//x", false, "", ""},
        {"http", false, "", ""},
        {"http://:80/", true, "", ""},
        {"ftp://host/", false, "", ""},
        {"http:/host", false, "", ""},
        {"-", false, "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.referrer);
        const auto url = ReadReferrerUrl(c.referrer);
        ASSERT_EQ(url.has_value(), c.isUrl);
        if (!url) continue;
        EXPECT_EQ(url->host, c.host);
        EXPECT_EQ(url->query, c.query);
    }
}

TEST(SearchEngineRules, TheFirstRuleThatFindsAValue) {
    const SearchEngineRules rules(Fields{{"Empty", "", "q"},
                                         {"NoParam", "example.jp", ""},
                                         {"Yahoo", "Search.Yahoo.co.jp", "p"},
                                         {"Any", "yahoo.co.jp", "q"},
                                         {"Google", "google.com", "q"}});
    ASSERT_EQ(rules.Rules().size(), 3u);
    const struct {
        const char* host;
        const char* query;
        const char* engine;
        const char* value;
    } cases[] = {
        {"search.yahoo.co.jp", "p=a&q=b", "Yahoo", "a"},
        {"search.yahoo.co.jp", "p=&q=b", "Any", "b"},  // an empty value: the next rule
        {"search.yahoo.co.jp", "q=&q=b", "", ""},      // only the first item counts
        {"www.google.com", "x=1&q=a+b", "Google", "a+b"},
        {"notgoogle.com", "q=a", "", ""},
        {"google.com.evil", "q=a", "", ""},
        {"www.google.com", "Q=a", "", ""},  // PARAM is exact
        {"www.google.com", "qq=a", "", ""},
        {"www.google.com", "q", "", ""},
        {"", "q=a", "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.host) + "?" + c.query);
        const SearchEngineHit hit = rules.Find(c.host, c.query);
        EXPECT_EQ(hit.rule == SearchEngineHit::kNone ? "" : rules.Rules()[hit.rule].name, c.engine);
        EXPECT_EQ(hit.value, c.value);
    }
}
