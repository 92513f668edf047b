#include "analysis/Summary.h"

namespace pomurina {
namespace {

std::int64_t CountOf(const std::shared_ptr<EntryList>& list) {
    return static_cast<std::int64_t>(list->Count());
}

}  // namespace

Summary SummaryOf(const CountingResult& r) {
    Summary s;
    s.connections = {r.LineCount, r.HostCount, r.Host200Count, CountOf(r.Host403),
                     CountOf(r.Host404)};
    s.get = {r.GetCount, r.GetFileCount, r.Get200Count, CountOf(r.Get403), CountOf(r.Get404)};
    s.post = {r.PostCount, r.PostFileCount, r.Post200Count, CountOf(r.Post403), CountOf(r.Post404)};
    s.faviconAll = r.FaviconCount;
    s.faviconMsie = r.FaviconMsieCount;
    s.requestsPerHost = r.HostCount > 0 ? r.Get200Count / r.HostCount : 0;
    s.transferBytes = r.TransferTotal;
    s.allHours = r.AllHours;
    s.getHours = r.GetHours;
    s.postHours = r.PostHours;
    s.complete = static_cast<std::size_t>(r.LineCount) == r.LogLines->Count();
    return s;
}

}  // namespace pomurina
