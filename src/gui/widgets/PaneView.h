#pragma once
// A result pane: a read-only view of text lines with both scroll bars and no
// wrapping; lines can be selected and copied.  It is the run's Pane.
#include <QListView>
#include <chrono>
#include <cstdint>
#include <utility>
#include <vector>

#include "widgets/MatchDelegate.h"
#include "widgets/PaneModel.h"
#include "window/Pane.h"

namespace pomurina {

class PaneView final : public QListView, public Pane {
public:
    explicit PaneView(const char* name, QWidget* parent = nullptr);

    void Clear() override;
    void ReplaceAll(SharedLineSource source) override;
    void Append(std::string_view line) override;
    void AppendRange(const SharedLineSource& source, std::size_t first, std::size_t count) override;
    void Insert(std::size_t index, std::string_view line) override;
    const PaneLines& Lines() const override { return m_model.Lines(); }
    // The lines the pane shows: all of them, or those a narrowing keeps
    // (PaneModel::ShowOnly); find, copy and select all act on these.
    const PaneLines& Shown() const { return m_model.Shown(); }

    // While batching, appended lines wait in the model until FlushRows().
    void SetBatching(bool batching);
    // Hands waiting rows to the view; a visible pane shows them at once.
    void FlushRows();
    // The selected rows' text, joined with line breaks, in row order; at
    // most limit rows, the first ones.
    QString SelectedText(std::size_t limit = SIZE_MAX) const;
    // Puts SelectedText() on the clipboard.
    void CopySelection() const;
    // The number of selected rows.
    std::size_t SelectedCount() const;
    PaneModel& Model() { return m_model; }
    // What draws the rows and marks a find match.
    MatchDelegate& Marker() { return m_marker; }
    // A text shown in the middle of the pane while it has no lines (how to
    // open a log); it is no line of the pane.
    void SetPlaceholder(const QString& text);
    const QString& Placeholder() const { return m_placeholder; }
    // Keeps height pixels free below the rows, above the horizontal scroll
    // bar (the find bar's place).
    void ReserveBottom(int height) { setViewportMargins(0, 0, 0, height); }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    // The selected rows as sorted spans (first, last) that don't overlap.
    std::vector<std::pair<int, int>> SelectedSpans() const;

    PaneModel m_model;
    MatchDelegate m_marker;
    QString m_placeholder;
    bool m_batching = false;
    std::chrono::steady_clock::time_point m_nextRefresh;
};

}  // namespace pomurina
