#pragma once
// The lines of a result pane as a list model: the bytes stay in the run's
// collections and only the rows a view asks for are decoded.  Every row
// reports the width of the widest line, so a view with uniform item sizes
// can scroll sideways to any long line.
#include <QAbstractListModel>
#include <QFont>
#include <cstddef>
#include <string_view>
#include <vector>

#include "window/PaneLines.h"

namespace pomurina {

class PaneModel final : public QAbstractListModel {
public:
    explicit PaneModel(QObject* parent = nullptr);

    // The font rows are measured in.
    void SetFont(const QFont& font);
    const PaneLines& Lines() const { return m_lines; }
    // What the views show: the pane's lines, or the view of some of them
    // that ShowOnly() gave.
    const PaneLines& Shown() const { return m_narrowed ? m_shown : m_lines; }

    // Shows only the lines of shown (a view over the pane's own lines, such
    // as SelectedLines), until ShowAll() or until the pane's lines change.
    void ShowOnly(SharedLineSource shown);
    void ShowAll();
    bool Narrowed() const { return m_narrowed; }

    void Clear();
    void ReplaceAll(SharedLineSource source);
    // Appended rows reach the views at the next AnnouncePending().
    void Append(std::string_view line);
    void AppendRange(const SharedLineSource& source, std::size_t first, std::size_t count);
    // Announces the pending rows first, then inserts before row index.
    void Insert(std::size_t index, std::string_view line);
    // Hands the rows appended since the last call to the views, in one
    // insertion; false when there were none.
    bool AnnouncePending();

    // The pixel width every row reports (the widest line's, with margins).
    int RowWidth() const { return m_widest + kMargin; }
    int RowHeight() const { return m_rowHeight; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    static constexpr int kMargin = 12;

    void Remeasure();
    // Measures the longest lines of source, rows of the view.
    void MeasureLongest(const LineSource& source);
    // Before the pane's lines change: the views show them all again.
    void Widen();
    // Measures line index, length bytes long, when it is among the longest
    // by bytes so far.
    void Consider(std::size_t index, std::size_t length);
    int Measure(std::size_t index) const;

    PaneLines m_lines;
    PaneLines m_shown;  // while narrowed
    bool m_narrowed = false;
    std::size_t m_announced = 0;
    QFont m_font;
    int m_rowHeight = 0;
    int m_widest = 0;
    LongestKept m_longest{8};  // the lines measured
};

}  // namespace pomurina
