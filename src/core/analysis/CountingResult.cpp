#include "analysis/CountingResult.h"

namespace pomurina {
namespace {

using Forms = std::vector<EntryList::Form>;

std::shared_ptr<EntryList> Make(const std::shared_ptr<const ByteBuffer>& bytes, Forms forms) {
    return std::make_shared<EntryList>(bytes, std::move(forms));
}

}  // namespace

const std::array<std::shared_ptr<EntryList> CountingResult::*, 15> CountingResult::kEntryLists = {
    &CountingResult::CheckDomeinHits,  &CountingResult::GetExtract, &CountingResult::Get403,
    &CountingResult::Get404,           &CountingResult::GetOther,   &CountingResult::ReferrerHits,
    &CountingResult::ForeignReferrers, &CountingResult::RobotHits,  &CountingResult::PostExtract,
    &CountingResult::Post403,          &CountingResult::Post404,    &CountingResult::PostOther,
    &CountingResult::Host403,          &CountingResult::Host404,    &CountingResult::HostOther};

bool CountingResult::IsExtract(std::shared_ptr<EntryList> CountingResult::*list) {
    return list == &CountingResult::GetExtract || list == &CountingResult::PostExtract ||
           list == &CountingResult::ReferrerHits || list == &CountingResult::GetOther ||
           list == &CountingResult::PostOther || list == &CountingResult::HostOther;
}

void CountingResult::SettleEntries() {
    for (const auto list : kEntryLists) (this->*list)->Settle();
}

CountingResult::CountingResult(std::shared_ptr<const TextLines> logLines)
    : CountingResult(std::move(logLines), 0) {
    IsPart = false;  // the whole run
}

CountingResult::CountingResult(std::shared_ptr<const TextLines> logLines, std::size_t firstLine)
    : LogLines(std::move(logLines)),
      HostNames(LogLines->Bytes()),
      GetFiles(LogLines->Bytes()),
      PostFiles(LogLines->Bytes()) {
    const auto& bytes = LogLines->Bytes();
    const Forms timeHostPath{{{"", " ", " ", ""}}};
    const Forms timePath{{{"", " ", ""}}};
    const Forms wholeLine{{{"", ""}}};
    IsPart = true;
    HostExtract = std::make_shared<HostExtractLines>(LogLines, firstLine);
    CheckDomeinHits = Make(bytes, wholeLine);
    GetExtract = Make(bytes, timePath);
    Get403 = Make(bytes, timeHostPath);
    Get404 = Make(bytes, timeHostPath);
    GetOther = Make(bytes, wholeLine);
    ReferrerHits = Make(bytes, {{{"", " [", "] ", ""}}});
    ForeignReferrers = Make(bytes, {{{"[", "] ", ""}}});
    // Pieces Host, Time, Path, Agent; the robots-file form leaves the path out.
    RobotHits = Make(bytes, {{{"*", " ", " [", "] ", ""}}, {{"", " ", "", " ", ""}}});
    PostExtract = Make(bytes, timePath);
    Post403 = Make(bytes, timeHostPath);
    Post404 = Make(bytes, timeHostPath);
    PostOther = Make(bytes, wholeLine);
    Host403 = Make(bytes, timeHostPath);
    Host404 = Make(bytes, timeHostPath);
    HostOther = Make(bytes, wholeLine);
}

}  // namespace pomurina
