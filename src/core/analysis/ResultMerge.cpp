#include "analysis/ResultMerge.h"

namespace pomurina {
namespace {

void AddHours(HourCounts& to, const HourCounts& from) {
    for (std::size_t h = 0; h < to.size(); ++h) to[h] += from[h];
}

}  // namespace

void MergePart(CountingResult& whole, CountingResult& part) {
    whole.LineCount += part.LineCount;
    if (whole.KeepsExtracts) whole.HostExtract->Join(*part.HostExtract);
    whole.HostCount += static_cast<std::int64_t>(whole.HostNames.Absorb(part.HostNames));
    whole.GetFileCount += static_cast<std::int64_t>(whole.GetFiles.Absorb(part.GetFiles));
    whole.PostFileCount += static_cast<std::int64_t>(whole.PostFiles.Absorb(part.PostFiles));
    for (const auto list : CountingResult::kEntryLists)
        if (whole.KeepsExtracts || !CountingResult::IsExtract(list))
            (whole.*list)->Join(std::move(*(part.*list)));

    whole.GetCount += part.GetCount;
    whole.Get200Count += part.Get200Count;
    whole.PostCount += part.PostCount;
    whole.Post200Count += part.Post200Count;
    whole.Host200Count += part.Host200Count;
    whole.FaviconCount += part.FaviconCount;
    whole.FaviconMsieCount += part.FaviconMsieCount;
    AddHours(whole.AllHours, part.AllHours);
    AddHours(whole.GetHours, part.GetHours);
    AddHours(whole.PostHours, part.PostHours);
    for (const double size : part.PartSizes) whole.TransferTotal += size;
    part.PartSizes.clear();
}

}  // namespace pomurina
