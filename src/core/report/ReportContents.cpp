#include "report/ReportContents.h"

#include "text/IntegerText.h"
#include "window/MemoPanes.h"
#include "window/SummaryFields.h"

namespace pomurina {

const std::array<SummaryBox, 3> kSummaryBoxes = {{
    {"connections",
     "接続",
     {{{"total", "総接続数", FieldId::SummaryConnections},
       {"hosts", "ホスト数", FieldId::SummaryHosts},
       {"status_200", "200", FieldId::SummaryConnections200},
       {"status_403", "403", FieldId::SummaryConnections403},
       {"status_404", "404", FieldId::SummaryConnections404}}}},
    {"get",
     "要求(GET)",
     {{{"requests", "要求数", FieldId::SummaryGetRequests},
       {"files", "対象数", FieldId::SummaryGetFiles},
       {"status_200", "200", FieldId::SummaryGet200},
       {"status_403", "403", FieldId::SummaryGet403},
       {"status_404", "404", FieldId::SummaryGet404}}}},
    {"post",
     "受信(POST)",
     {{{"receptions", "受信数", FieldId::SummaryPostReceptions},
       {"files", "対象数", FieldId::SummaryPostFiles},
       {"status_200", "200", FieldId::SummaryPost200},
       {"status_403", "403", FieldId::SummaryPost403},
       {"status_404", "404", FieldId::SummaryPost404}}}},
}};

const std::array<ReportGraph, 3> kReportGraphs = {{
    {"connections", "時間別の接続数・総接続数から見た比率", GraphId::Connections,
     &Summary::allHours},
    {"get", "時間別の要求数・総接続数から見た比率", GraphId::GetRequests, &Summary::getHours},
    {"post", "時間別の受信数・総接続数から見た比率", GraphId::PostReceptions, &Summary::postHours},
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

const Summary* ReportedSummary(const ReportSource& source) {
    return source.run && source.run->summary.complete ? &source.run->summary : nullptr;
}

const Insight* ReportedInsight(const ReportSource& source) {
    return ReportedSummary(source) ? source.run->insight.get() : nullptr;
}

const std::string* InsightProblem(const ReportSource& source) {
    return ReportedSummary(source) && source.run->insightProblem ? &*source.run->insightProblem
                                                                 : nullptr;
}

std::string CountText(FieldId field, const Summary* summary) {
    const auto count = summary ? FieldCount(field, *summary) : std::nullopt;
    return count ? IntToStr(*count) : "-";
}

ShownTransfer TransferAsShown(ResultWindow& window) {
    return {window.GetField(FieldId::TransferVolume).Text(), window.LastByteUnit()};
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
