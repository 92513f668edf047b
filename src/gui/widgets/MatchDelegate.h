#pragma once
// Draws a pane's rows: the row of the current find match with the matched
// characters on a marker colour over whatever selection the row has, and a
// row too long to lay out whole (RowGeometry) as the slice in sight.
#include <QStyledItemDelegate>
#include <cstddef>
#include <string_view>

namespace pomurina {

class MatchDelegate final : public QStyledItemDelegate {
public:
    explicit MatchDelegate(QObject* parent = nullptr) : QStyledItemDelegate(parent) {}

    // Marks bytes [start, start + length) of row's line.
    void SetMatch(int row, std::size_t start, std::size_t length);
    void ClearMatch() { m_row = -1; }
    int MatchRow() const { return m_row; }

    // The x of byte of a row's line (Shift-JIS), from the row's left edge.
    static int TextX(const QWidget* view, std::string_view line, std::size_t byte);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

private:
    std::size_t m_start = 0;
    std::size_t m_length = 0;
    int m_row = -1;
};

}  // namespace pomurina
