#pragma once
// One table of the insight as a table model: the cells stay in the run's
// insight and only the rows a view asks for are turned into text.  Sorting
// keeps an index of rows, never a copy of them; numbers sort as numbers,
// paths and hosts by their bytes.  A share column (the row's part of the
// table's hits, or visits) follows the column it is taken from.  A table of
// many rows is sorted on a thread of the worker pool: the view shows the
// old order, and stays usable, until the new one is ready.
#include <QAbstractTableModel>
#include <QTimer>
#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "report/InsightTables.h"
#include "report/TableOrder.h"

namespace pomurina {

class LongTask;

class InsightTableModel final : public QAbstractTableModel {
public:
    // The share of the row, from 0 to 1, for the bar behind the share column.
    static constexpr int kShareRole = Qt::UserRole + 1;

    // table's cells must live as long as keep.
    InsightTableModel(InsightTable table, std::shared_ptr<const void> keep,
                      QObject* parent = nullptr);
    ~InsightTableModel() override;

    // The table as the writers see it, rows in the insight's order.
    const InsightTable& Table() const { return m_table; }
    // The table's row shown at view row row.
    std::size_t SourceRow(int row) const;
    // The table's column shown at view column column, or none for the share.
    std::optional<std::size_t> SourceColumn(int column) const;
    // The view column of the share, or -1 when the table has none.
    int ShareColumn() const { return m_shareColumn; }

    // The first view row after row `after` (wrapping past the end) whose
    // first column shows text, case ignored; none when no row does.
    std::optional<int> FindRow(const QString& text, int after) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    // column -1 gives back the insight's own order.
    void sort(int column, Qt::SortOrder order) override;
    // Whether a sort asked for is still being made.
    bool Sorting() const { return m_sorting || m_waiting; }
    // Tables from this many rows on are sorted in the background (tests
    // make every table be).
    static void SetBackgroundFrom(std::size_t rows);

private:
    double Share(std::size_t row) const;
    // The order of column (-1: the insight's own) into rows; on any thread.
    void MakeOrder(int column, Qt::SortOrder order, std::vector<std::uint32_t>& rows);
    // Shows rows as the new order; selected rows stay selected.
    void ShowOrder(std::vector<std::uint32_t> rows);
    // Takes the order made in the background, and starts the sort asked for since.
    void Look();
    // The sort keys of the table's column c, made on its first sort and kept.
    const ColumnKeys& KeysOf(std::size_t c);

    InsightTable m_table;
    std::shared_ptr<const void> m_keep;
    int m_shareColumn = -1;
    std::size_t m_shareOf = 0;  // the table's column the share is taken from
    std::int64_t m_shareTotal = 0;
    std::vector<std::uint32_t> m_order;  // empty: the insight's order
    std::vector<std::uint32_t> m_spareOrder;
    std::vector<std::optional<ColumnKeys>> m_keys;  // by the table's column
    TableOrder m_sorter;
    // The sort in the background: what it makes, whether it is done, and
    // the sort asked for meanwhile (the last one only).
    std::vector<std::uint32_t> m_made;
    std::atomic<bool> m_madeReady{false};
    bool m_sorting = false;
    bool m_waiting = false;
    int m_waitingColumn = -1;
    Qt::SortOrder m_waitingOrder = Qt::AscendingOrder;
    QTimer m_look;
    // Declared last: it goes first, waiting for its sort, which reads all of the above.
    std::unique_ptr<LongTask> m_task;
};

// What a cell shows: numbers with digit groups, log bytes decoded from
// Shift-JIS, and a percent-encoded UTF-8 path decoded.
QString InsightCellText(const InsightCell& cell);

}  // namespace pomurina
