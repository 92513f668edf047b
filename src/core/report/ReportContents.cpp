#include "report/ReportContents.h"

#include <limits>

#include "window/MemoPanes.h"
#include "text/IntegerText.h"

namespace pomurina {

const std::array<SummaryBox, 3> kSummaryBoxes = {{
    {"connections",
     "接続",
     {{{"total", "総接続数", 1},
       {"hosts", "ホスト数", 2},
       {"status_200", "200", 22},
       {"status_403", "403", 23},
       {"status_404", "404", 24}}}},
    {"get",
     "要求(GET)",
     {{{"requests", "要求数", 3},
       {"files", "対象数", 9},
       {"status_200", "200", 27},
       {"status_403", "403", 26},
       {"status_404", "404", 25}}}},
    {"post",
     "受信(POST)",
     {{{"receptions", "受信数", 4},
       {"files", "対象数", 10},
       {"status_200", "200", 30},
       {"status_403", "403", 29},
       {"status_404", "404", 28}}}},
}};

const std::array<ReportGraph, 3> kReportGraphs = {{
    {"connections", "時間別の接続数・総接続数から見た比率", 1},
    {"get", "時間別の要求数・総接続数から見た比率", 2},
    {"post", "時間別の受信数・総接続数から見た比率", 3},
}};

const std::array<ReportPane, kPaneCount> kReportPanes = {{
    {PaneId::Memo8, "hosts", "ホスト名・IPアドレス", "接続 › 集計"},
    {PaneId::Memo9, "connection_extract", "接続の抽出ログ", "接続 › 抽出ログ"},
    {PaneId::HOST404Memo, "connection_404", "404 (NotFound) となった接続",
     "接続 › 不正常ログ › 404"},
    {PaneId::HOST403Memo, "connection_403", "403 (Forbidden) となった接続",
     "接続 › 不正常ログ › 403"},
    {PaneId::Memo2, "connection_other", "200・403・404 以外の接続", "接続 › 不正常ログ › その他"},
    {PaneId::CheckDomeinMemo, "watched_hosts", "監視対象ホストのログ", "接続 › 監視抽出"},
    {PaneId::Memo7, "get_files", "要求(GET)の対象ファイル", "要求ログ › 集計"},
    {PaneId::File404Memo, "get_404", "404 (NotFound) となった要求", "要求ログ › 不正常ログ › 404"},
    {PaneId::File403Memo, "get_403", "403 (Forbidden) となった要求", "要求ログ › 不正常ログ › 403"},
    {PaneId::Memo10, "get_other", "200・403・404 以外の要求", "要求ログ › 不正常ログ › その他"},
    {PaneId::Memo4, "get_extract", "要求の抽出ログ", "要求ログ › 抽出ログ"},
    {PaneId::Memo6, "post_files", "受信(POST)の対象ファイル", "受信ログ › 集計"},
    {PaneId::POST404Memo, "post_404", "404 (NotFound) となった受信", "受信ログ › 不正常ログ › 404"},
    {PaneId::POST403Memo, "post_403", "403 (Forbidden) となった受信",
     "受信ログ › 不正常ログ › 403"},
    {PaneId::Memo11, "post_other", "200・403・404 以外の受信", "受信ログ › 不正常ログ › その他"},
    {PaneId::Memo5, "post_extract", "受信の抽出ログ", "受信ログ › 抽出ログ"},
    {PaneId::ReferrerList, "foreign_referrers", "外部からの参照元", "リファラ › 参照元"},
    {PaneId::ReferrerLog, "referrer_extract", "参照元の抽出ログ", "リファラ › 抽出ログ"},
    {PaneId::RobotsLog, "robots", "ロボットの訪問", "bot"},
    {PaneId::NamaLog, "raw_log", "生ログ", "生ログ"},
}};

bool HasResults(ResultWindow& window) {
    return window.Graph(1).GetState() == HourGraph::State::Bars;
}

std::optional<std::int64_t> FieldNumber(ResultWindow& window, int field) {
    const std::string text = window.GetField(field).Text();
    // The fields hold plain decimal numbers; "-" and anything else is none.
    if (text.empty() || text.find_first_not_of("-0123456789") != std::string::npos)
        return std::nullopt;
    return ParseInteger(text, std::numeric_limits<std::int64_t>::min(),
                        std::numeric_limits<std::int64_t>::max());
}

std::size_t HeaderLines(ResultWindow& window, PaneId pane) {
    const PaneLines& lines = window.GetPane(pane).Lines();
    std::string scratch;
    const auto isRule = [&](std::size_t i) {
        return i < lines.Count() && lines.Line(i, scratch) == kRule;
    };
    switch (pane) {
        case PaneId::CheckDomeinMemo:
        case PaneId::ReferrerList:
        case PaneId::RobotsLog:
            // The header ends at its rule (a list entry that is itself a rule
            // would end it early).
            for (std::size_t i = 1; i < lines.Count(); ++i)
                if (isRule(i)) return i + 1;
            return 0;
        default: {
            const std::size_t count = MessageLineCount(pane);
            return count > 0 && isRule(count - 1) ? count : 0;
        }
    }
}

}  // namespace pomurina
