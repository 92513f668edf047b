// pomurina-genlog: a deterministic generator of realistic Apache combined
// logs for benchmarks and large-input tests.  The same seed gives the same
// bytes on every machine.
//
//   pomurina-genlog --lines N [--seed S] [--site DOMAIN] [--visitors N] [--variety]
//
// --variety adds what the insight must read right and the plain log lacks:
// Japanese search phrases in UTF-8, Shift-JIS and EUC-JP (with and without
// the engines' ie/ei parameter), full- and half-width forms, AI crawlers,
// empty agents, escaped quotes, the common format, times that go back a
// little, leap seconds, and lines that don't have the fields at all.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

// splitmix64: small, fast and the same everywhere.
class Random {
public:
    explicit Random(std::uint64_t seed) : m_state(seed) {}
    std::uint64_t Next() {
        std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    unsigned Below(unsigned n) { return static_cast<unsigned>(Next() % n); }
    bool Chance(unsigned percent) { return Below(100) < percent; }
    template <typename T>
    const T& Pick(const std::vector<T>& items) {
        return items[Below(static_cast<unsigned>(items.size()))];
    }

private:
    std::uint64_t m_state;
};

const std::vector<std::string> kPages = {"/",
                                         "/index.html",
                                         "/diary/index.html",
                                         "/diary/2026/12/06.html",
                                         "/profile.html",
                                         "/link.html",
                                         "/bbs/read.cgi?no=12",
                                         "/images/logo.png",
                                         "/images/photo01.jpg",
                                         "/css/style.css",
                                         "/js/main.js",
                                         "/favicon.ico",
                                         "/robots.txt",
                                         "/blog/archives/153.html",
                                         "/blog/category/travel/",
                                         "/search?q=%E6%97%85%E8%A1%8C",
                                         "/feed.xml",
                                         "/sitemap.xml",
                                         "/news/2026/1205.html",
                                         "/shop/item.php?id=4402",
                                         "/contact/form.html",
                                         "/ROBOTS.TXT",
                                         "/common/photo/free/images/%E5%AE%89%E8%97%A4.png",
                                         "/wp-login.php",
                                         "/.env",
                                         "/admin/config.php",
                                         "/cgi-bin/test.cgi"};
const std::vector<std::string> kPostTargets = {"/bbs/write.cgi", "/contact/send.php",
                                               "/wp-login.php",  "/xmlrpc.php",
                                               "/api/comment",   "/join_form"};
const std::vector<std::string> kSearchWords = {
    "%E6%97%85%E8%A1%8C",                     // 旅行
    "%E3%83%A9%E3%83%BC%E3%83%A1%E3%83%B3",   // ラーメン
    "%E5%A4%A9%E6%B0%97+%E6%9D%B1%E4%BA%AC",  // 天気 東京
    "%E6%97%A5%E8%A8%98",                     // 日記
    "%E5%86%99%E7%9C%9F%E3%80%80%E7%84%A1%E6%96%99",
    "apache+log"};
const std::vector<std::string> kSearchSites = {
    "https://www.google.co.jp/search?q=", "https://search.yahoo.co.jp/search?p=",
    "https://www.bing.com/search?q=", "https://search.smt.docomo.ne.jp/result?MT="};
const std::vector<std::string> kBrowsers = {
    "Mozilla/5.0 (Windows NT 10.0; Win64; x64) AppleWebKit/537.36 (KHTML, like Gecko) "
    "Chrome/131.0.0.0 Safari/537.36",
    "Mozilla/5.0 (iPhone; CPU iPhone OS 18_1 like Mac OS X) AppleWebKit/605.1.15 (KHTML, like "
    "Gecko) Version/18.1 Mobile/15E148 Safari/604.1",
    "Mozilla/5.0 (Macintosh; Intel Mac OS X 14_7) AppleWebKit/605.1.15 (KHTML, like Gecko) "
    "Version/18.1 Safari/605.1.15",
    "Mozilla/5.0 (Linux; Android 14; SO-51D) AppleWebKit/537.36 (KHTML, like Gecko) "
    "Chrome/130.0.0.0 Mobile Safari/537.36",
    "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1)",
    "Mozilla/5.0 (Windows NT 10.0; Win64; x64; rv:133.0) Gecko/20100101 Firefox/133.0"};
const std::vector<std::string> kRobots = {
    "Mozilla/5.0 (compatible; Googlebot/2.1; +http://www.google.com/bot.html)",
    "Mozilla/5.0 (compatible; bingbot/2.0; +http://www.bing.com/bingbot.htm)",
    "Mozilla/5.0 (compatible; YandexBot/3.0; +http://yandex.com/bots)",
    "Mozilla/5.0 (compatible; AhrefsBot/7.0; +http://ahrefs.com/robot/)",
    "Mozilla/5.0 (compatible; SemrushBot/7~bl; +http://www.semrush.com/bot.html)",
    "Mozilla/5.0 AppleWebKit/537.36 (KHTML, like Gecko; compatible; GPTBot/1.2; "
    "+https://openai.com/gptbot)",
    "Mozilla/5.0 (compatible; Baiduspider/2.0; +http://www.baidu.com/search/spider.html)",
    "facebookexternalhit/1.1 (+http://www.facebook.com/externalhit_uatext.php)",
    "curl/8.5.0"};
// One phrase in each charset, percent-encoded: 旅行, ラーメン, 天気 東京,
// 東京　ラーメン, ＡＰＡＣＨＥ　ログ, ﾗｰﾒﾝ, Apache Log, ポムリナ 使い方.
const std::vector<std::string> kUtf8Phrases = {
    "%E6%97%85%E8%A1%8C",
    "%E3%83%A9%E3%83%BC%E3%83%A1%E3%83%B3",
    "%E5%A4%A9%E6%B0%97%20%E6%9D%B1%E4%BA%AC",
    "%E6%9D%B1%E4%BA%AC%E3%80%80%E3%83%A9%E3%83%BC%E3%83%A1%E3%83%B3",
    "%EF%BC%A1%EF%BC%B0%EF%BC%A1%EF%BC%A3%EF%BC%A8%EF%BC%A5%E3%80%80%E3%83%AD%E3%82%B0",
    "%EF%BE%97%EF%BD%B0%EF%BE%92%EF%BE%9D",
    "Apache%20Log",
    "%E3%83%9D%E3%83%A0%E3%83%AA%E3%83%8A+%E4%BD%BF%E3%81%84%E6%96%B9"};
const std::vector<std::string> kSjisPhrases = {"%97%B7%8Ds",
                                               "%83%89%81%5B%83%81%83%93",
                                               "%93V%8BC%20%93%8C%8B%9E",
                                               "%93%8C%8B%9E%81%40%83%89%81%5B%83%81%83%93",
                                               "%82%60%82o%82%60%82b%82g%82d%81%40%83%8D%83O",
                                               "%D7%B0%D2%DD",
                                               "apache+LOG",
                                               "%83%7C%83%80%83%8A%83i%20%8Eg%82%A2%95%FB"};
const std::vector<std::string> kEucPhrases = {
    "%CE%B9%B9%D4",
    "%A5%E9%A1%BC%A5%E1%A5%F3",
    "%C5%B7%B5%A4%20%C5%EC%B5%FE",
    "%C5%EC%B5%FE%A1%A1%A5%E9%A1%BC%A5%E1%A5%F3",
    "%A3%C1%A3%D0%A3%C1%A3%C3%A3%C8%A3%C5%A1%A1%A5%ED%A5%B0",
    "%8E%D7%8E%B0%8E%D2%8E%DD",
    "%20Apache%E3%80%80Log%20",
    "%A5%DD%A5%E0%A5%EA%A5%CA%20%BB%C8%A4%A4%CA%FD"};
const std::vector<std::string> kVarietyAgents = {
    "Mozilla/5.0 AppleWebKit/537.36 (KHTML, like Gecko; compatible; ClaudeBot/1.0; "
    "+claudebot@anthropic.com)",
    "Mozilla/5.0 (compatible; Bytespider; spider-feedback@bytedance.com)",
    "CCBot/2.0 (https://commoncrawl.org/faq/)",
    "",
    "-",
    "Mozilla/5.0 (iPad; CPU OS 17_5 like Mac OS X) AppleWebKit/605.1.15 (KHTML, like Gecko) "
    "Version/17.5 Mobile/15E148 Safari/604.1",
    "Mozilla/5.0 (iPhone; CPU iPhone OS 17_5 like Mac OS X) AppleWebKit/605.1.15 (KHTML, like "
    "Gecko) Mobile/15E148 Safari Line/14.8.0",
    "Mozilla/5.0 (Windows NT 10.0; Win64; x64) AppleWebKit/537.36 (KHTML, like Gecko) "
    "Chrome/131.0.0.0 Safari/537.36 Edg/131.0.0.0",
    "Mozilla/5.0 (Linux; Android 14; SM-X710) AppleWebKit/537.36 (KHTML, like Gecko) "
    "Chrome/131.0.0.0 Safari/537.36",
    "Mozilla/5.0 (compatible; \\\"quoted\\\" agent)"};
const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                               "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// 0: a few thousand regular visitors and a long tail; otherwise that many visitors in all.
unsigned g_visitors = 0;

std::string Host(Random& random) {
    char buffer[64];
    if (random.Chance(8)) {
        const unsigned a = random.Below(g_visitors ? g_visitors : 0x10000);
        const unsigned b = random.Below(g_visitors ? 2 : 0x10000);
        std::snprintf(buffer, sizeof buffer, "2001:db8:%x:%x::%x", a, b,
                      random.Below(g_visitors ? 2 : 0x100));
    } else if (random.Chance(5)) {
        std::snprintf(buffer, sizeof buffer, "p%u-ipngn%u.Tokyo.ocn.ne.jp",
                      random.Below(g_visitors ? 20 : 9000) + 1000,
                      random.Below(g_visitors ? 5 : 900) + 100);
    } else {
        const unsigned visitor = g_visitors          ? random.Below(g_visitors)
                                 : random.Chance(70) ? random.Below(3000)
                                                     : random.Below(1u << 24);
        std::snprintf(buffer, sizeof buffer, "%u.%u.%u.%u", 60 + visitor % 150,
                      (visitor >> 3) % 256, (visitor >> 11) % 256, visitor % 251 + 1);
    }
    return buffer;
}

std::string Referrer(Random& random, const std::string& site, const std::string& page) {
    const unsigned kind = random.Below(100);
    if (kind < 40) return "-";
    if (kind < 70) return "https://" + site + page;
    if (kind < 90) return random.Pick(kSearchSites) + random.Pick(kSearchWords);
    return "https://blog.example.jp/entry/" + std::to_string(random.Below(5000));
}

// A search referrer of the --variety mode: one phrase in one charset, named
// by the engine's parameter or not.
std::string VarietySearch(Random& random) {
    const unsigned phrase = random.Below(8);
    switch (random.Below(9)) {
        case 0:
            return "https://www.google.co.jp/search?q=" + kUtf8Phrases[phrase] + "&ie=UTF-8";
        case 1:
            return "https://www.google.co.jp/search?ie=Shift_JIS&q=" + kSjisPhrases[phrase];
        case 2:
            return "http://search.yahoo.co.jp/search?p=" + kEucPhrases[phrase] + "&ei=euc-jp";
        case 3:
            return "HTTPS://User@Search.Yahoo.co.jp:443/search?ei=UTF-8&p=" + kUtf8Phrases[phrase];
        case 4:
            return "https://search.smt.docomo.ne.jp/result?MT=" + kSjisPhrases[phrase];
        case 5:
            return "https://www.bing.com/search?q=" + kEucPhrases[phrase] + "&form=QBLH";
        case 6:
            return "https://duckduckgo.com/?q=&q=" + kUtf8Phrases[phrase];
        case 7:
            return "https://www.google.com/search?ie=SJIS&q=" + kUtf8Phrases[phrase];
        default:
            return "https://www.google.co.jp/url?sa=t&q=" + kUtf8Phrases[phrase] + "#frag";
    }
}

// A line of the --variety mode that hasn't the fields, or has them oddly.
std::string AwkwardLine(Random& random, const std::string& host, const char* stamp) {
    switch (random.Below(8)) {
        case 0:  // the common format
            return host + " - - [" + stamp + " +0900] \"GET /index.html HTTP/1.0\" 200 1043";
        case 1:  // a garbage request
            return host + " - - [" + stamp + " +0900] \"\\x16\\x03\\x01\" 400 226 \"-\" \"-\"";
        case 2:  // no date like it
            return host + " - - [29/Feb/2026:10:00:00 +0900] \"GET / HTTP/1.1\" 200 5 \"-\" \"x\"";
        case 3:  // no status like it
            return host + " - - [" + stamp + " +0900] \"GET / HTTP/1.1\" 600 5 \"-\" \"x\"";
        case 4:  // a TAB where a blank belongs
            return host + "\t- - [" + stamp + " +0900] \"GET / HTTP/1.1\" 200 5";
        case 5:  // fields glued after the agent, and a huge size
            return host + " - - [" + stamp +
                   " +0900] \"GET /big.html HTTP/1.1\" 200 999999999999999 " +
                   "\"-\" \"Wget/1.21\"rt=0.001";
        case 6:  // a leap second
            return host + " - - [31/Dec/2026:23:59:60 +0000] \"GET /new-year.html HTTP/1.1\" 200 7";
        default:  // an escaped quote in the request
            return host + " - - [" + stamp +
                   " +0900] \"GET /a\\\"b.html HTTP/1.1\" 404 0 \"-\" \"-\"";
    }
}

}  // namespace

int main(int argc, char** argv) {
    long long lines = -1;
    std::uint64_t seed = 1;
    std::string site = "www.pomurina-example.jp";
    bool variety = false;
    for (int i = 1; i < argc; ++i)
        if (!std::strcmp(argv[i], "--variety")) variety = true;
    for (int i = 1; i + 1 < argc; i += 1 + (std::strcmp(argv[i], "--variety") != 0)) {
        if (!std::strcmp(argv[i], "--lines"))
            lines = std::atoll(argv[i + 1]);
        else if (!std::strcmp(argv[i], "--seed"))
            seed = std::strtoull(argv[i + 1], nullptr, 10);
        else if (!std::strcmp(argv[i], "--site"))
            site = argv[i + 1];
        else if (!std::strcmp(argv[i], "--visitors"))
            g_visitors = static_cast<unsigned>(std::atoi(argv[i + 1]));
    }
    if (lines < 0) {
        std::fputs(
            "usage: pomurina-genlog --lines N [--seed S] [--site DOMAIN] [--visitors N] "
            "[--variety]\n",
            stderr);
        return 2;
    }
    Random random(seed);
    std::string out;
    out.reserve(1 << 22);
    long long second = 0;  // seconds since 1 Dec 2026 00:00
    // A visit: one visitor (or robot) asks for a page and what it needs in a
    // short burst of lines, as real logs show.
    int visitLeft = 0;
    bool robot = false;
    std::string host, agent;
    for (long long n = 0; n < lines; ++n) {
        second += random.Below(3);
        if (visitLeft-- <= 0) {
            visitLeft = static_cast<int>(random.Below(8));
            robot = random.Chance(15);
            host = Host(random);
            agent = robot ? random.Pick(kRobots) : random.Pick(kBrowsers);
            if (variety && random.Chance(20)) agent = random.Pick(kVarietyAgents);
        }
        // Servers write lines as requests end: a time may go back a little.
        long long shown = second;
        if (variety && random.Chance(10)) shown = std::max(0LL, second - random.Below(2000));
        const long long day = 1 + (shown / 86400) % 28;
        const long long hh = shown / 3600 % 24, mm = shown / 60 % 60, ss = shown % 60;
        const unsigned month = static_cast<unsigned>(11 + shown / (86400 * 28)) % 12;
        if (variety && random.Chance(3)) {
            char stamp[32];
            std::snprintf(stamp, sizeof stamp, "%02lld/%s/2026:%02lld:%02lld:%02lld", day,
                          kMonths[month], hh, mm, ss);
            out += AwkwardLine(random, host, stamp) + "\n";
            continue;
        }

        const unsigned methodRoll = random.Below(100);
        const char* method = methodRoll < 85   ? "GET"
                             : methodRoll < 94 ? "POST"
                             : methodRoll < 98 ? "HEAD"
                                               : "OPTIONS";
        const bool post = method[0] == 'P';
        const std::string path = post                         ? random.Pick(kPostTargets)
                                 : robot && random.Chance(10) ? "/robots.txt"
                                                              : random.Pick(kPages);

        const unsigned statusRoll = random.Below(1000);
        const int status = statusRoll < 820   ? 200
                           : statusRoll < 900 ? 304
                           : statusRoll < 950 ? 404
                           : statusRoll < 960 ? 403
                           : statusRoll < 990 ? 302
                                              : 500;
        std::string size;
        if (status == 304 || method[0] == 'H' || (status == 200 && random.Chance(2)))
            size = "-";
        else if (status == 200)
            size = std::to_string(200 + random.Below(random.Chance(5) ? 5000000 : 60000));
        else
            size = std::to_string(150 + random.Below(400));

        char head[160];
        std::snprintf(head, sizeof head, " - - [%02lld/%s/2026:%02lld:%02lld:%02lld +0900] \"%s ",
                      day, kMonths[month], hh, mm, ss, method);
        out += host;
        out += head;
        out += path;
        out += " HTTP/1.1\" ";
        out += std::to_string(status);
        out += ' ';
        out += size;
        out += " \"";
        out += robot                          ? std::string("-")
               : variety && random.Chance(30) ? VarietySearch(random)
                                              : Referrer(random, site, random.Pick(kPages));
        out += "\" \"";
        out += agent;
        out += "\"\n";
        if (out.size() >= (1u << 22)) {
            std::fwrite(out.data(), 1, out.size(), stdout);
            out.clear();
        }
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}
