#include "widgets/PaneModel.h"

#include <QFontMetrics>
#include <algorithm>
#include <string>

#include "SjisQt.h"
#include "widgets/RowGeometry.h"

namespace pomurina {

PaneModel::PaneModel(QObject* parent) : QAbstractListModel(parent) {
    SetFont(m_font);
}

void PaneModel::SetFont(const QFont& font) {
    beginResetModel();
    m_font = font;
    m_rowHeight = QFontMetrics(font).lineSpacing() + 1;
    Remeasure();
    endResetModel();
}

void PaneModel::Clear() {
    beginResetModel();
    m_narrowed = false;
    m_shown.Clear();
    m_lines.Clear();
    m_announced = 0;
    Remeasure();
    endResetModel();
}

void PaneModel::ReplaceAll(SharedLineSource source) {
    beginResetModel();
    m_narrowed = false;
    m_shown.Clear();
    m_lines.ReplaceAll(source);
    m_announced = m_lines.Count();
    MeasureLongest(*source);
    endResetModel();
}

void PaneModel::ShowOnly(SharedLineSource shown) {
    beginResetModel();
    m_announced = m_lines.Count();
    m_narrowed = true;
    m_shown.ReplaceAll(shown);
    MeasureLongest(*shown);
    endResetModel();
}

void PaneModel::ShowAll() {
    if (!m_narrowed) return;
    beginResetModel();
    m_narrowed = false;
    m_shown.Clear();
    m_announced = m_lines.Count();
    Remeasure();
    endResetModel();
}

void PaneModel::Widen() {
    if (m_narrowed) ShowAll();
}

void PaneModel::MeasureLongest(const LineSource& source) {
    // The source knows its longest lines best.
    m_widest = 0;
    m_longest.Clear();
    for (const std::size_t index : source.LongestLines(m_longest.Size()))
        Consider(index, source.Length(index));
}

void PaneModel::Append(std::string_view line) {
    Widen();
    m_lines.Append(line);
    Consider(m_lines.Count() - 1, line.size());
}

void PaneModel::AppendRange(const SharedLineSource& source, std::size_t first, std::size_t count) {
    Widen();
    const std::size_t row = m_lines.Count();
    m_lines.AppendRange(source, first, count);
    // Lengths straight from the source: no search for each row's chunk.
    for (std::size_t i = 0; i < count; ++i) Consider(row + i, source->Length(first + i));
}

void PaneModel::Insert(std::size_t index, std::string_view line) {
    Widen();
    AnnouncePending();
    index = std::min(index, m_lines.Count());
    const int row = static_cast<int>(index);
    beginInsertRows(QModelIndex(), row, row);
    m_lines.Insert(index, line);
    m_announced = m_lines.Count();
    Consider(index, line.size());
    endInsertRows();
}

bool PaneModel::AnnouncePending() {
    if (m_announced == m_lines.Count()) return false;
    beginInsertRows(QModelIndex(), static_cast<int>(m_announced),
                    static_cast<int>(m_lines.Count() - 1));
    m_announced = m_lines.Count();
    endInsertRows();
    return true;
}

void PaneModel::Remeasure() {
    m_widest = 0;
    m_longest.Clear();
    const PaneLines& shown = Shown();
    for (std::size_t i = 0; i < shown.Count(); ++i) Consider(i, shown.Length(i));
}

void PaneModel::Consider(std::size_t index, std::size_t length) {
    // Pixel widths follow byte lengths closely enough that the widest line
    // is among the few longest by bytes.
    if (m_longest.Offer(index, length)) m_widest = std::max(m_widest, Measure(index));
}

int PaneModel::Measure(std::size_t index) const {
    std::string scratch;
    return RowGeometry(QFontMetrics(m_font), Shown().Line(index, scratch)).Width();
}

int PaneModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid()) return 0;
    return static_cast<int>(m_narrowed ? m_shown.Count() : m_announced);
}

QVariant PaneModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    if (role == Qt::SizeHintRole) return QSize(RowWidth(), m_rowHeight);
    if (role != Qt::DisplayRole) return {};
    // Nothing may be thrown into the view's painting.
    try {
        std::string scratch;
        return FromSjis(Shown().Line(static_cast<std::size_t>(index.row()), scratch));
    } catch (...) {
        return {};
    }
}

Qt::ItemFlags PaneModel::flags(const QModelIndex& index) const {
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

}  // namespace pomurina
