#include "window/SummaryFields.h"

#include "text/IntegerText.h"
#include "window/TransferUnits.h"

namespace pomurina {
namespace {

using Count = std::int64_t (*)(const Summary&);

// What each field shows, in the order the run writes them.
struct FieldCountRow {
    FieldId field;
    Count count;
};
constexpr FieldCountRow kFieldCounts[] = {
    {FieldId::SummaryConnections, [](const Summary& s) { return s.connections.total; }},
    {FieldId::SummaryHosts, [](const Summary& s) { return s.connections.distinct; }},
    {FieldId::ConnectionsTabConnections, [](const Summary& s) { return s.connections.total; }},
    {FieldId::ConnectionsTabHosts, [](const Summary& s) { return s.connections.distinct; }},
    {FieldId::SummaryGetRequests, [](const Summary& s) { return s.get.total; }},
    {FieldId::GetTabRequests, [](const Summary& s) { return s.get.total; }},
    {FieldId::SummaryPostReceptions, [](const Summary& s) { return s.post.total; }},
    {FieldId::PostTabReceptions, [](const Summary& s) { return s.post.total; }},
    {FieldId::GetTabFiles, [](const Summary& s) { return s.get.distinct; }},
    {FieldId::SummaryGetFiles, [](const Summary& s) { return s.get.distinct; }},
    {FieldId::PostTabFiles, [](const Summary& s) { return s.post.distinct; }},
    {FieldId::SummaryPostFiles, [](const Summary& s) { return s.post.distinct; }},
    {FieldId::FaviconAll, [](const Summary& s) { return s.faviconAll; }},
    {FieldId::FaviconMsie, [](const Summary& s) { return s.faviconMsie; }},
    {FieldId::RequestsPerHost, [](const Summary& s) { return s.requestsPerHost; }},
    {FieldId::ConnectionsTab200, [](const Summary& s) { return s.connections.status200; }},
    {FieldId::ConnectionsTab403, [](const Summary& s) { return s.connections.status403; }},
    {FieldId::ConnectionsTab404, [](const Summary& s) { return s.connections.status404; }},
    {FieldId::SummaryConnections200, [](const Summary& s) { return s.connections.status200; }},
    {FieldId::SummaryConnections403, [](const Summary& s) { return s.connections.status403; }},
    {FieldId::SummaryConnections404, [](const Summary& s) { return s.connections.status404; }},
    {FieldId::GetTab200, [](const Summary& s) { return s.get.status200; }},
    {FieldId::GetTab403, [](const Summary& s) { return s.get.status403; }},
    {FieldId::GetTab404, [](const Summary& s) { return s.get.status404; }},
    {FieldId::SummaryGet200, [](const Summary& s) { return s.get.status200; }},
    {FieldId::SummaryGet403, [](const Summary& s) { return s.get.status403; }},
    {FieldId::SummaryGet404, [](const Summary& s) { return s.get.status404; }},
    {FieldId::PostTab200, [](const Summary& s) { return s.post.status200; }},
    {FieldId::PostTab403, [](const Summary& s) { return s.post.status403; }},
    {FieldId::PostTab404, [](const Summary& s) { return s.post.status404; }},
    {FieldId::SummaryPost200, [](const Summary& s) { return s.post.status200; }},
    {FieldId::SummaryPost403, [](const Summary& s) { return s.post.status403; }},
    {FieldId::SummaryPost404, [](const Summary& s) { return s.post.status404; }},
};

}  // namespace

void ShowSummary(ResultWindow& w, const Summary& summary) {
    for (const FieldCountRow& row : kFieldCounts)
        w.GetField(row.field).SetText(IntToStr(row.count(summary)));
    WriteTransferVolume(w, summary.transferBytes);
}

std::optional<std::int64_t> FieldCount(FieldId field, const Summary& summary) {
    for (const FieldCountRow& row : kFieldCounts)
        if (row.field == field) return row.count(summary);
    return std::nullopt;
}

}  // namespace pomurina
