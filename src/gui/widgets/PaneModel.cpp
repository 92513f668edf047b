#include "widgets/PaneModel.h"

#include <QFontMetrics>
#include <algorithm>
#include <functional>
#include <string>

#include "SjisQt.h"

namespace pomurina {
namespace {

// Keeps the count largest values (by key) in a heap with the smallest on
// top; true when value was taken.
template <typename T, typename Key>
bool KeepLargest(std::vector<T>& heap, const T& value, std::size_t count, Key key) {
    const auto above = [&](const T& a, const T& b) { return key(a) > key(b); };
    if (heap.size() == count && key(value) <= key(heap.front())) return false;
    heap.push_back(value);
    std::push_heap(heap.begin(), heap.end(), above);
    if (heap.size() > count) {
        std::pop_heap(heap.begin(), heap.end(), above);
        heap.pop_back();
    }
    return true;
}

}  // namespace

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
    m_lines.Clear();
    m_announced = 0;
    Remeasure();
    endResetModel();
}

void PaneModel::ReplaceAll(SharedLineSource source) {
    beginResetModel();
    m_lines.ReplaceAll(std::move(source));
    m_announced = m_lines.Count();
    Remeasure();
    endResetModel();
}

void PaneModel::Append(std::string_view line) {
    m_lines.Append(line);
    Consider(m_lines.Count() - 1, line.size());
}

void PaneModel::AppendRange(const SharedLineSource& source, std::size_t first, std::size_t count) {
    const std::size_t row = m_lines.Count();
    m_lines.AppendRange(source, first, count);
    // Lengths straight from the source: no search for each row's chunk.
    for (std::size_t i = 0; i < count; ++i) Consider(row + i, source->Length(first + i));
}

void PaneModel::Insert(std::size_t index, std::string_view line) {
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
    m_longest.clear();
    // The few longest lines by bytes: pixel widths follow byte lengths closely
    // enough that the widest line is among them.
    using Line = std::pair<std::size_t, std::size_t>;  // (length, index)
    std::vector<Line> heap;
    for (std::size_t i = 0; i < m_lines.Count(); ++i)
        KeepLargest(heap, Line{m_lines.Length(i), i}, kLongest,
                    [](const Line& l) { return l.first; });
    for (const auto& [length, index] : heap) {
        m_widest = std::max(m_widest, Measure(index));
        m_longest.push_back(length);
    }
    std::make_heap(m_longest.begin(), m_longest.end(), std::greater<>());
}

void PaneModel::Consider(std::size_t index, std::size_t length) {
    if (KeepLargest(m_longest, length, kLongest, [](std::size_t l) { return l; }))
        m_widest = std::max(m_widest, Measure(index));
}

int PaneModel::Measure(std::size_t index) const {
    std::string scratch;
    return QFontMetrics(m_font).horizontalAdvance(FromSjis(m_lines.Line(index, scratch)));
}

int PaneModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_announced);
}

QVariant PaneModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    if (role == Qt::SizeHintRole) return QSize(RowWidth(), m_rowHeight);
    if (role != Qt::DisplayRole) return {};
    // Nothing may be thrown into the view's painting.
    try {
        std::string scratch;
        return FromSjis(m_lines.Line(static_cast<std::size_t>(index.row()), scratch));
    } catch (...) {
        return {};
    }
}

Qt::ItemFlags PaneModel::flags(const QModelIndex& index) const {
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

}  // namespace pomurina
