// Random lines against random reference lists: the counts stay consistent
// with each other after every line, and the only failure is the integer error.
#include <cstdint>
#include <set>
#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "analysis/ClassifyLine.h"
#include "text/CaseFold.h"
#include "text/Cp932.h"
#include "Errors.h"
#include "text/IntegerText.h"
#include "text/SjisText.h"
#include "text/TextLines.h"

using namespace pomurina;

namespace {

// The input: three lists of up to a few entries, then the log.  Fields are
// separated by 0xFE bytes so that the fuzzer can shape them.
std::vector<std::string> TakeList(std::string_view& input) {
    std::vector<std::string> entries;
    const std::size_t end = input.find('\xFE');
    std::string_view list = input.substr(0, end);
    input = end == std::string_view::npos ? std::string_view() : input.substr(end + 1);
    std::size_t at;
    while ((at = list.find('|')) != std::string_view::npos && entries.size() < 64) {
        entries.emplace_back(list.substr(0, at));
        list.remove_prefix(at + 1);
    }
    entries.emplace_back(list);
    return entries;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    ReferenceLists lists;
    lists.OwnDomains = TextList(TakeList(input));
    lists.WatchedDomains = TextList(TakeList(input));
    lists.RobotStrings = TextList(TakeList(input));
    lists.Prepare();

    auto lines = std::make_shared<const TextLines>(std::string(input));
    CountingResult r(lines);
    std::set<std::string> hosts;
    std::int64_t hoursInDay = 0;
    std::string key;
    for (std::size_t i = 0; i < lines->Count(); ++i) {
        const std::string_view line = lines->At(i);
        try {
            ClassifyLine(line, lists, r);
        } catch (const ConvertError& e) {
            FUZZ_CHECK(e.Message().size() >= Utf8ToCp932("'' は整数ではありません").size());
            FUZZ_CHECK(e.Message().front() == '\'');
            break;
        }
        ++r.LineCount;
        // Independent readings of the host and the hour.
        const std::size_t blank = line.find(' ');
        const std::string_view host =
            blank == std::string_view::npos ? std::string_view() : line.substr(0, blank);
        FoldKey(host, key);
        hosts.insert(key);
        const std::size_t bracket = line.find('[');
        const std::string_view stamp =
            line.substr(bracket == std::string_view::npos ? 0 : bracket, 28);
        const auto hour = ParseInteger(stamp.size() > 13 ? stamp.substr(13, 2) : std::string_view(),
                                       INT32_MIN, INT32_MAX);
        FUZZ_CHECK(hour.has_value());
        hoursInDay += *hour >= 0 && *hour <= 23;

        std::int64_t all = 0, get = 0, post = 0;
        for (int h = 0; h < 24; ++h) {
            all += r.AllHours[static_cast<std::size_t>(h)];
            get += r.GetHours[static_cast<std::size_t>(h)];
            post += r.PostHours[static_cast<std::size_t>(h)];
        }
        FUZZ_CHECK(all == hoursInDay);
        FUZZ_CHECK(get <= r.GetCount && post <= r.PostCount);
        FUZZ_CHECK(r.HostCount == static_cast<std::int64_t>(hosts.size()));
        FUZZ_CHECK(r.HostNames.Count() == hosts.size());
        FUZZ_CHECK(r.HostExtract->Count() == static_cast<std::size_t>(r.LineCount));
        FUZZ_CHECK(r.GetExtract->Count() == static_cast<std::size_t>(r.GetCount));
        FUZZ_CHECK(r.PostExtract->Count() == static_cast<std::size_t>(r.PostCount));
        FUZZ_CHECK(r.GetFiles.Count() == static_cast<std::size_t>(r.GetFileCount));
        FUZZ_CHECK(r.PostFiles.Count() == static_cast<std::size_t>(r.PostFileCount));
        FUZZ_CHECK(static_cast<std::size_t>(r.Host200Count) + r.Host403->Count() +
                       r.Host404->Count() + r.HostOther->Count() ==
                   static_cast<std::size_t>(r.LineCount));
        FUZZ_CHECK(static_cast<std::size_t>(r.Get200Count) + r.Get403->Count() + r.Get404->Count() +
                       r.GetOther->Count() ==
                   static_cast<std::size_t>(r.GetCount));
        FUZZ_CHECK(r.ForeignReferrers->Count() <= r.ReferrerHits->Count());
        FUZZ_CHECK(r.FaviconMsieCount <= r.FaviconCount);
        // This line's entry of the host extract: time stamp, blank, host, blank, path.
        std::string scratch;
        const std::string_view extract = r.HostExtract->Line(r.HostExtract->Count() - 1, scratch);
        const std::string head = std::string(stamp) + " " + std::string(host) + " ";
        FUZZ_CHECK(extract.substr(0, head.size()) == head);
        FUZZ_CHECK(Contains(line, extract.substr(head.size())) || extract.size() == head.size());
    }
    // Whole lines stay as they were read (without zero bytes); composed
    // entries have their brackets.
    std::string read(input);
    std::erase(read, '\0');
    std::string scratch;
    for (std::size_t i = 0; i < r.HostOther->Count(); ++i)
        FUZZ_CHECK(Contains(read, r.HostOther->Line(i, scratch)) || r.HostOther->Length(i) == 0);
    for (std::size_t i = 0; i < r.ForeignReferrers->Count(); ++i) {
        const std::string_view entry = r.ForeignReferrers->Line(i, scratch);
        FUZZ_CHECK(!entry.empty() && entry.front() == '[' && Contains(entry, "] "));
    }
    return 0;
}
