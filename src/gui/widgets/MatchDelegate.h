#pragma once
// Draws a pane's rows, the row of the current find match with the matched
// characters on a marker colour over whatever selection the row has.
#include <QStyledItemDelegate>

namespace pomurina {

class MatchDelegate final : public QStyledItemDelegate {
public:
    explicit MatchDelegate(QObject* parent = nullptr) : QStyledItemDelegate(parent) {}

    // Marks characters [start, start + length) of row (QString positions).
    void SetMatch(int row, int start, int length);
    void ClearMatch() { m_row = -1; }
    int MatchRow() const { return m_row; }

    // The x of character position at in a row's text, from the row's left edge.
    static int TextX(const QWidget* view, const QString& text, int at);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

private:
    int m_row = -1;
    int m_start = 0;
    int m_length = 0;
};

}  // namespace pomurina
