#pragma once
// Everything of the main window that an analysis run reads or writes: the
// twenty result panes, the thirty-five fields, the unit selector, the
// progress window, the three graphs and the unit the volume was last written in.
#include <array>
#include <string_view>

#include "window/Field.h"
#include "window/FieldId.h"
#include "window/GraphId.h"
#include "window/HourGraph.h"
#include "window/Pane.h"
#include "window/ProgressDisplay.h"

namespace pomurina {

// The result panes, named as their controls, in the order the state dump
// lists them; each with its place and what it holds.
enum class PaneId {
    NamaLog,          // 生ログ: the whole log as loaded
    Memo8,            // 接続 › 集計: distinct hosts, under a header
    Memo9,            // 接続 › 抽出ログ: time, host and path of every line
    HOST404Memo,      // 接続 › 不正常ログ › 404: lines answered 404, under a header
    HOST403Memo,      // 接続 › 不正常ログ › 403: lines answered 403, under a header
    Memo2,            // 接続 › 不正常ログ › その他: lines with any other status
    CheckDomeinMemo,  // 接続 › 監視抽出: the watched-host list, then the lines of those hosts
    Memo7,            // 要求ログ › 集計: distinct files requested (GET), under a header
    File404Memo,      // 要求ログ › 不正常ログ › 404: GET requests answered 404
    File403Memo,      // 要求ログ › 不正常ログ › 403: GET requests answered 403
    Memo10,  // 要求ログ › 不正常ログ › その他: GET requests with any other status
    Memo4,   // 要求ログ › 抽出ログ: time and path of every GET request
    Memo6,   // 受信ログ › 集計: distinct files posted to (POST), under a header
    POST404Memo,  // 受信ログ › 不正常ログ › 404: POST receptions answered 404
    POST403Memo,  // 受信ログ › 不正常ログ › 403: POST receptions answered 403
    Memo11,  // 受信ログ › 不正常ログ › その他: POST receptions with any other status
    Memo5,   // 受信ログ › 抽出ログ: time and path of every POST reception
    ReferrerList,  // リファラ › 参照元: the own-domain list, then outside referrers
    ReferrerLog,   // リファラ › 抽出ログ: time, referrer and path of every GET request
    RobotsLog,     // bot: the robot list, then the visits of robots
};
constexpr int kPaneCount = 20;
// LastByteUnit before any run has written the volume: no unit at all.
constexpr int kNoUnitYet = 5;

// The name of the pane's control.
std::string_view PaneName(PaneId pane);

class ResultWindow {
public:
    virtual ~ResultWindow() = default;
    virtual Pane& GetPane(PaneId pane) = 0;
    virtual Field& GetField(FieldId field) = 0;
    // The unit box beside the transfer volume.
    virtual UnitSelector& ByteName() = 0;
    virtual ProgressDisplay& Progress() = 0;
    virtual HourGraph& Graph(GraphId graph) = 0;
    // The unit the transfer volume was last written in (kNoUnitYet before any run).
    virtual int& LastByteUnit() = 0;
};

// A whole window in memory, as a freshly started program has it.
class MemoryWindow final : public ResultWindow {
public:
    Pane& GetPane(PaneId pane) override { return m_panes[static_cast<std::size_t>(pane)]; }
    Field& GetField(FieldId field) override { return m_fields[static_cast<std::size_t>(field)]; }
    UnitSelector& ByteName() override { return m_unit; }
    ProgressDisplay& Progress() override {
        return m_progressOverride ? *m_progressOverride : m_progress;
    }
    HourGraph& Graph(GraphId graph) override { return m_graphs[static_cast<std::size_t>(graph)]; }
    int& LastByteUnit() override { return m_lastByteUnit; }

    MemoryUnitSelector& Unit() { return m_unit; }
    // Sends the run's progress to display (which keeps it) instead of the
    // window's own record; nullptr goes back to the record.
    void SetProgress(ProgressDisplay* display) { m_progressOverride = display; }

private:
    std::array<MemoryPane, kPaneCount> m_panes;
    std::array<MemoryField, kFieldCount> m_fields;
    MemoryUnitSelector m_unit;
    MemoryProgress m_progress;
    ProgressDisplay* m_progressOverride = nullptr;
    std::array<HourGraph, kGraphCount> m_graphs;
    int m_lastByteUnit = kNoUnitYet;
};

}  // namespace pomurina
