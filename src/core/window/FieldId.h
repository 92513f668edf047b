#pragma once
// The thirty-five read-only fields of the main window, named for what they
// show.  Most numbers show twice: "Summary..." fields are on the tab
// "カウント", "ConnectionsTab...", "GetTab..." and "PostTab..." fields in the
// counter box under the list on the page "集計" of the tabs "接続",
// "要求ログ" and "受信ログ".  Listed in the order of their controls'
// numbers (Edit1 .. Edit35), which is the order the state dump uses.
#include <string>

namespace pomurina {

enum class FieldId {
    SummaryConnections,         // Edit1: 総接続数, every line of the log
    SummaryHosts,               // Edit2: ホスト数, distinct hosts
    SummaryGetRequests,         // Edit3: 要求数
    SummaryPostReceptions,      // Edit4: 受信数
    PostTabFiles,               // Edit5: 対象数, distinct files posted to
    PostTabReceptions,          // Edit6: 受信数
    GetTabFiles,                // Edit7: 対象数, distinct files requested
    GetTabRequests,             // Edit8: 要求数
    SummaryGetFiles,            // Edit9: 対象数
    SummaryPostFiles,           // Edit10: 対象数
    ConnectionsTabHosts,        // Edit11: ホスト数
    ConnectionsTabConnections,  // Edit12: 接続数
    GetTab200,                  // Edit13
    GetTab403,                  // Edit14
    GetTab404,                  // Edit15
    PostTab403,                 // Edit16
    PostTab200,                 // Edit17
    PostTab404,                 // Edit18
    ConnectionsTab403,          // Edit19
    ConnectionsTab200,          // Edit20
    ConnectionsTab404,          // Edit21
    SummaryConnections200,      // Edit22
    SummaryConnections403,      // Edit23
    SummaryConnections404,      // Edit24
    SummaryGet404,              // Edit25
    SummaryGet403,              // Edit26
    SummaryGet200,              // Edit27
    SummaryPost404,             // Edit28
    SummaryPost403,             // Edit29
    SummaryPost200,             // Edit30
    FaviconMsie,                // Edit31: favicon requests by Internet Explorer ("IE")
    RequestsPerHost,            // Edit32: 要求/ホスト, successful GET requests per host
    FaviconAll,                 // Edit33: every favicon request ("総数")
    TransferVolume,             // Edit34: 転送量, in the unit of the unit box
    LogName,                    // Edit35: ファイル, the analysed log's name
};
constexpr int kFieldCount = 35;

// Every field, in the order of FieldId.
constexpr FieldId FieldAt(int index) {
    return static_cast<FieldId>(index);
}

// The name of the field's control, "Edit1" .. "Edit35".
inline std::string FieldName(FieldId field) {
    return "Edit" + std::to_string(static_cast<int>(field) + 1);
}

}  // namespace pomurina
