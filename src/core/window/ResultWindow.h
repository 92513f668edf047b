#pragma once
// Everything of the main window that an analysis run reads or writes: the
// twenty result panes, the thirty-five fields, the unit selector, the
// progress window, the three graphs and the unit the volume was last written in.
#include <array>
#include <optional>
#include <string_view>

#include "window/Field.h"
#include "window/HourGraph.h"
#include "window/Pane.h"
#include "window/ProgressDisplay.h"

namespace pomurina {

// The result panes, in the order the state dump lists them.
enum class PaneId {
    NamaLog,
    Memo8,
    Memo9,
    HOST404Memo,
    HOST403Memo,
    Memo2,
    CheckDomeinMemo,
    Memo7,
    File404Memo,
    File403Memo,
    Memo10,
    Memo4,
    Memo6,
    POST404Memo,
    POST403Memo,
    Memo11,
    Memo5,
    ReferrerList,
    ReferrerLog,
    RobotsLog,
};
constexpr int kPaneCount = 20;
constexpr int kFieldCount = 35;  // Edit1 .. Edit35
// LastByteUnit before any run has written the volume: no unit at all.
constexpr int kNoUnitYet = 5;

std::string_view PaneName(PaneId pane);

class ResultWindow {
public:
    virtual ~ResultWindow() = default;
    virtual Pane& GetPane(PaneId pane) = 0;
    // number 1 .. 35: Edit1 .. Edit35.
    virtual Field& GetField(int number) = 0;
    virtual UnitSelector& ByteName() = 0;
    virtual ProgressDisplay& Progress() = 0;
    // number 1 .. 3: Image1 .. Image3.
    virtual HourGraph& Graph(int number) = 0;
    virtual int& LastByteUnit() = 0;

    // The transfer total in bytes of the last run that reached its field
    // step: the number that Edit34 shows rounded, in a unit.
    std::optional<double>& TransferBytes() { return m_transferBytes; }

private:
    std::optional<double> m_transferBytes;
};

// A whole window in memory, as a freshly started program has it.
class MemoryWindow final : public ResultWindow {
public:
    Pane& GetPane(PaneId pane) override { return m_panes[static_cast<std::size_t>(pane)]; }
    Field& GetField(int number) override { return m_fields[static_cast<std::size_t>(number - 1)]; }
    UnitSelector& ByteName() override { return m_unit; }
    ProgressDisplay& Progress() override {
        return m_progressOverride ? *m_progressOverride : m_progress;
    }
    HourGraph& Graph(int number) override { return m_graphs[static_cast<std::size_t>(number - 1)]; }
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
    std::array<HourGraph, 3> m_graphs;
    int m_lastByteUnit = kNoUnitYet;
};

}  // namespace pomurina
