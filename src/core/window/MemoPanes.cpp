#include "window/MemoPanes.h"

#include <string>

#include "text/Cp932.h"

namespace pomurina {
namespace {

struct Header {
    PaneId pane;
    const char* text;
    bool columns;  // the "[Time] Host /File" line under the text
};
const Header kHeaders[] = {
    {PaneId::Memo8, "ログファイルに含まれるホスト名・IPアドレスです...", false},
    {PaneId::Memo7, "要求(GET)の対象となったファイル名です...", false},
    {PaneId::Memo6, "受信(POST)の対象となったファイル名です...", false},
    {PaneId::HOST404Memo, "接続中404(NotFound)となったログの抜粋です...", true},
    {PaneId::HOST403Memo, "接続中403(Forbidden)となったログの抜粋です...", true},
    {PaneId::File404Memo, "要求中404(NotFound)となったログの抜粋です...", true},
    {PaneId::File403Memo, "要求中403(Forbidden)となったログの抜粋です...", true},
    {PaneId::POST404Memo, "要求中404(NotFound)となったログの抜粋です...", true},
    {PaneId::POST403Memo, "要求中403(Forbidden)となったログの抜粋です...", true},
};

}  // namespace

const std::string_view kRule = "---------------------------------------------";

void MemoFree(ResultWindow& w) {
    for (const PaneId pane :
         {PaneId::Memo2, PaneId::Memo8, PaneId::Memo4, PaneId::Memo7, PaneId::Memo6, PaneId::Memo9,
          PaneId::Memo10, PaneId::Memo11, PaneId::Memo5, PaneId::HOST404Memo, PaneId::HOST403Memo,
          PaneId::File404Memo, PaneId::File403Memo, PaneId::CheckDomeinMemo, PaneId::ReferrerList,
          PaneId::ReferrerLog, PaneId::RobotsLog})
        w.GetPane(pane).Clear();
}

void MessageToMemo(ResultWindow& w) {
    for (const Header& header : kHeaders) {
        Pane& pane = w.GetPane(header.pane);
        std::size_t index = 0;
        pane.Insert(index++, Utf8ToCp932(header.text));
        if (header.columns) pane.Insert(index++, "[Time] Host /File");
        pane.Insert(index, kRule);
    }
}

std::size_t MessageLineCount(PaneId pane) {
    for (const Header& header : kHeaders)
        if (header.pane == pane) return header.columns ? 3 : 2;
    return 0;
}

}  // namespace pomurina
