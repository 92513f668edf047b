#include "analysis/ClassifyLine.h"

#include <algorithm>
#include <limits>

#include "analysis/LineFields.h"
#include "analysis/LineMarkers.h"
#include "text/IntegerText.h"
#include "text/SjisText.h"

namespace pomurina {
namespace {

constexpr long long kToEnd = std::numeric_limits<long long>::max();

// The text from the 1-based position to the end.
std::string_view From(std::string_view s, std::size_t position) {
    return Copy(s, static_cast<long long>(position), kToEnd);
}

long long Signed(std::size_t n) {
    return static_cast<long long>(n);
}

bool IsRobotsFile(std::string_view path) {
    static constexpr std::string_view kRobots = "/robots.txt";
    if (path.size() != kRobots.size()) return false;
    for (std::size_t i = 0; i < path.size(); ++i) {
        const char c = path[i];
        if ((c >= 'A' && c <= 'Z' ? static_cast<char>(c + 0x20) : c) != kRobots[i]) return false;
    }
    return true;
}

void CountHour(HourCounts& hours, std::int32_t hour) {
    // An hour outside the day (only in lines that aren't log lines) counts nowhere.
    if (hour >= 0 && hour <= 23) ++hours[static_cast<std::size_t>(hour)];
}

// The status a line was answered with, as the counts tell them apart: 200
// when the line holds `" 200 ` anywhere, else 403 for `" 403`, else 404 for
// `" 404`, else any other.
enum class Status { Ok, Forbidden, NotFound, Other };

// Counts a line of one kind (every line, a GET request, a POST reception)
// answered 200, or keeps it with its status: 403 and 404 as Time Host Path,
// any other as the whole line.
void SortByStatus(Status status, std::int64_t& ok, EntryList& forbidden, EntryList& notFound,
                  EntryList& other, std::string_view line, std::string_view time,
                  std::string_view host, std::string_view path) {
    switch (status) {
        case Status::Ok:
            ++ok;
            break;
        case Status::Forbidden:
            forbidden.Add(0, line, {time, host, path});
            break;
        case Status::NotFound:
            notFound.Add(0, line, {time, host, path});
            break;
        case Status::Other:
            other.Add(0, line, {line});
            break;
    }
}

// Adds the size of a successful GET request: after the first `" 200` and one
// more byte up to the next blank, or to the end of the line; "-" (an empty
// body) adds nothing.
void AddSize(std::string_view line, std::size_t statusAt, CountingResult& r) {
    const std::size_t from = std::min(statusAt + 6, line.size());
    std::size_t to = from;
    while (to < line.size() && line[to] != ' ') ++to;
    const std::string_view byteText = line.substr(from, to - from);
    if (byteText == "-") return;
    const auto size = static_cast<double>(StrToInt64(byteText));
    if (r.IsPart)
        r.PartSizes.push_back(size);
    else
        r.TransferTotal += size;
}

}  // namespace

void ClassifyLine(std::string_view line, const ReferenceLists& lists, CountingResult& r) {
    const std::string_view L = line;
    constexpr std::size_t npos = std::string_view::npos;

    // Offsets below are 0-based places in the line.
    LineMarkers marks;
    marks.Find(L);

    // 1-2. The time stamp (28 bytes from the first "[", or from the start)
    // and its hour, as written (the zone is ignored).
    const std::string_view timeField = L.substr(marks.bracket == npos ? 0 : marks.bracket, 28);
    const std::int32_t hour =
        StrToInt(timeField.size() > 13 ? timeField.substr(13, 2) : std::string_view());
    CountHour(r.AllHours, hour);

    // 3. The host: everything before the first blank.
    const std::string_view host =
        marks.blank == npos ? std::string_view() : L.substr(0, marks.blank);

    const std::size_t getAt = marks.get;
    const std::size_t postAt = marks.post;
    std::string_view getRest, getPath, postPath;
    if (getAt != npos) {
        getRest = L.substr(getAt + 1);  // from the G of GET
        getPath = GetPathAt(L, getAt);
    }
    if (postAt != npos) postPath = PostPathAt(L, postAt);
    const bool isGet = getAt != npos, isPost = postAt != npos;
    const std::string_view requestPath = isGet ? getPath : isPost ? postPath : OtherRequestPath(L);

    // 4-6. Every line.  The host extract's entry is composed from the line
    // when it is shown; only its length is kept.
    r.HostExtract->Add(timeField.size() + host.size() + requestPath.size() + 2);
    if (r.HostNames.AddIfNew(L, host)) ++r.HostCount;
    for (std::size_t n = lists.WatchedPatterns().CountIn(host); n > 0; --n)
        r.CheckDomeinHits->Add(0, L, {L});

    const Status status = marks.status200 != npos   ? Status::Ok
                          : marks.status403 != npos ? Status::Forbidden
                          : marks.status404 != npos ? Status::NotFound
                                                    : Status::Other;

    // 7. The GET branch.
    if (isGet) {
        CountHour(r.GetHours, hour);
        r.GetExtract->Add(0, L, {timeField, getPath});
        ++r.GetCount;
        if (r.GetFiles.AddIfNew(L, getPath)) ++r.GetFileCount;

        SortByStatus(status, r.Get200Count, *r.Get403, *r.Get404, *r.GetOther, L, timeField, host,
                     getPath);
        if (status == Status::Ok) AddSize(L, marks.size200, r);

        // a and b: 1-based places in getRest of the first blank-quote and
        // quote-blank-quote, 0 when absent.
        const std::size_t agentAt = marks.agentQuotes;
        const std::size_t b = agentAt == npos ? 0 : agentAt - getAt;
        if (marks.dashQuotes == npos) {
            const std::size_t blankQuoteAt = marks.blankQuote;
            const std::size_t a = blankQuoteAt == npos ? 0 : blankQuoteAt - getAt;
            const std::string_view referrer =
                Copy(getRest, Signed(a) + 2, Signed(b) - Signed(a) - 2);
            r.ReferrerHits->Add(0, L, {timeField, referrer, getPath});
            if (!lists.OwnPatterns().AnyIn(referrer))
                r.ForeignReferrers->Add(0, L, {referrer, getPath});
        }

        const bool robot = lists.RobotPatterns().AnyIn(L);
        if (robot || IsRobotsFile(getPath)) {
            const std::string_view agentTail = From(getRest, b + 2);
            if (robot)
                r.RobotHits->Add(kListedRobot, L, {host, timeField, getPath, agentTail});
            else
                r.RobotHits->Add(kRobotsFile, L, {host, timeField, {}, agentTail});
        }

        if (Contains(L, "favicon.ico")) {
            ++r.FaviconCount;
            if (Contains(L, " MSIE ")) ++r.FaviconMsieCount;
        }
    }

    // 8. The POST branch, independent of the GET branch.
    if (isPost) {
        CountHour(r.PostHours, hour);
        r.PostExtract->Add(0, L, {timeField, postPath});
        ++r.PostCount;
        if (r.PostFiles.AddIfNew(L, postPath)) ++r.PostFileCount;
        SortByStatus(status, r.Post200Count, *r.Post403, *r.Post404, *r.PostOther, L, timeField,
                     host, postPath);
    }

    // 9. The connection level.
    SortByStatus(status, r.Host200Count, *r.Host403, *r.Host404, *r.HostOther, L, timeField, host,
                 requestPath);
}

}  // namespace pomurina
