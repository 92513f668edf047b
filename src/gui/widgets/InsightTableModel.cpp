#include "widgets/InsightTableModel.h"

#include <QLocale>
#include <algorithm>
#include <numeric>
#include <string>

#include "ErrorBox.h"
#include "SjisQt.h"
#include "parallel/LongTask.h"
#include "report/TableOrder.h"
#include "urlconv/UrlDecoding.h"

namespace pomurina {
namespace {

const QLocale& Digits() {
    static const QLocale locale(QLocale::Japanese, QLocale::Japan);
    return locale;
}

// The path decoded when it holds percent-encoded UTF-8; otherwise none.
std::optional<QString> DecodedPath(std::string_view bytes) {
    if (bytes.find('%') == std::string_view::npos) return std::nullopt;
    try {
        const std::string decoded = URLDecode(bytes);
        if (decoded.empty() || decoded == bytes) return std::nullopt;
        return FromSjis(decoded);
    } catch (...) {
        return std::nullopt;  // not a percent encoding after all: shown as written
    }
}

}  // namespace

QString InsightCellText(const InsightCell& cell) {
    switch (cell.kind) {
        case InsightCell::Kind::Number:
            return Digits().toString(static_cast<qlonglong>(cell.number));
        case InsightCell::Kind::Text:
            return QString::fromUtf8(cell.text.data(), static_cast<qsizetype>(cell.text.size()));
        case InsightCell::Kind::LogText:
            return DecodedPath(cell.log).value_or(FromSjis(cell.log));
    }
    return {};
}

InsightTableModel::InsightTableModel(InsightTable table, std::shared_ptr<const void> keep,
                                     QObject* parent)
    : QAbstractTableModel(parent), m_table(std::move(table)), m_keep(std::move(keep)) {
    m_look.setInterval(10);
    connect(&m_look, &QTimer::timeout, this, [this] { Guarded([this] { Look(); }); });
    for (std::size_t c = 0; c < m_table.columns.size(); ++c) {
        const std::string_view key = m_table.columns[c].key;
        if (key == "hits" || key == "visits" || key == "entries" || key == "exits") {
            m_shareOf = c;
            m_shareColumn = static_cast<int>(c) + 1;
            break;
        }
    }
    if (m_shareColumn >= 0)
        for (std::size_t r = 0; r < m_table.rows; ++r)
            m_shareTotal += m_table.cell(r, m_shareOf).number;
}

std::size_t InsightTableModel::SourceRow(int row) const {
    const auto r = static_cast<std::size_t>(row);
    return m_order.empty() ? r : m_order[r];
}

std::optional<std::size_t> InsightTableModel::SourceColumn(int column) const {
    if (column == m_shareColumn) return std::nullopt;
    const bool afterShare = m_shareColumn >= 0 && column > m_shareColumn;
    return static_cast<std::size_t>(column - (afterShare ? 1 : 0));
}

std::optional<int> InsightTableModel::FindRow(const QString& text, int after) const {
    const int rows = rowCount();
    if (text.isEmpty() || rows == 0) return std::nullopt;
    for (int k = 1; k <= rows; ++k) {
        const int row = ((after < 0 ? -1 : after) + k) % rows;
        const InsightCell cell = m_table.cell(SourceRow(row), 0);
        if (InsightCellText(cell).contains(text, Qt::CaseInsensitive)) return row;
    }
    return std::nullopt;
}

int InsightTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_table.rows);
}

int InsightTableModel::columnCount(const QModelIndex& parent) const {
    if (parent.isValid()) return 0;
    return static_cast<int>(m_table.columns.size()) + (m_shareColumn >= 0 ? 1 : 0);
}

double InsightTableModel::Share(std::size_t row) const {
    if (m_shareTotal <= 0) return 0;
    return static_cast<double>(m_table.cell(row, m_shareOf).number) /
           static_cast<double>(m_shareTotal);
}

QVariant InsightTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const std::size_t row = SourceRow(index.row());
    const std::optional<std::size_t> column = SourceColumn(index.column());
    if (!column) {
        if (role == Qt::DisplayRole)
            return Digits().toString(Share(row) * 100, 'f', 1) + QStringLiteral("%");
        if (role == kShareRole) return Share(row);
        if (role == Qt::TextAlignmentRole) return int(Qt::AlignRight | Qt::AlignVCenter);
        return {};
    }
    // data() must not throw: a cell that can't be made shows nothing.
    try {
        const InsightCell cell = m_table.cell(row, *column);
        switch (role) {
            case Qt::DisplayRole:
                return InsightCellText(cell);
            case Qt::ToolTipRole:
                // The raw form of a decoded path, as the log has it.
                if (cell.kind == InsightCell::Kind::LogText && DecodedPath(cell.log))
                    return FromSjis(cell.log);
                return {};
            case Qt::TextAlignmentRole:
                if (cell.kind == InsightCell::Kind::Number)
                    return int(Qt::AlignRight | Qt::AlignVCenter);
                return int(Qt::AlignLeft | Qt::AlignVCenter);
            default:
                return {};
        }
    } catch (...) {
        return {};
    }
}

QVariant InsightTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    const std::optional<std::size_t> column = SourceColumn(section);
    if (!column) return FromUtf8("割合");
    if (*column >= m_table.columns.size()) return {};
    return FromUtf8(m_table.columns[*column].caption);
}

const ColumnKeys& InsightTableModel::KeysOf(std::size_t c) {
    if (m_keys.size() < m_table.columns.size()) m_keys.resize(m_table.columns.size());
    if (m_keys[c]) return *m_keys[c];
    ColumnKeys& made = m_keys[c].emplace();
    const InsightCell first = m_table.cell(0, c);
    const bool byText = first.kind == InsightCell::Kind::LogText ||
                        (first.kind == InsightCell::Kind::Text && !first.ordered);
    if (!byText) {
        made.keys.resize(m_table.rows);
        for (std::size_t r = 0; r < m_table.rows; ++r)
            made.keys[r] =
                NumberKey(m_table.number ? m_table.number(r, c) : m_table.cell(r, c).number);
        return made;
    }
    // Names are made for the sort and kept; log bytes are seen where they are.
    if (first.kind == InsightCell::Kind::Text) {
        made.owned.resize(m_table.rows);
        for (std::size_t r = 0; r < m_table.rows; ++r) made.owned[r] = m_table.cell(r, c).text;
    }
    made.texts.reserve(m_table.rows);
    made.keys.reserve(m_table.rows);
    made.nextKeys.reserve(m_table.rows);
    made.sizes.reserve(m_table.rows);
    for (std::size_t r = 0; r < m_table.rows; ++r)
        AddTextRow(made, made.owned.empty() ? m_table.cell(r, c).log : made.owned[r]);
    return made;
}

namespace {

// A table this small is sorted in a few milliseconds.
std::size_t g_backgroundFrom = 200000;

}  // namespace

void InsightTableModel::SetBackgroundFrom(std::size_t rows) {
    g_backgroundFrom = rows;
}

InsightTableModel::~InsightTableModel() = default;

void InsightTableModel::MakeOrder(int column, Qt::SortOrder order,
                                  std::vector<std::uint32_t>& rows) {
    rows.clear();
    if (column < 0 || m_table.rows == 0) return;
    // The share sorts as the column it is taken from.
    const std::size_t c = SourceColumn(column).value_or(m_shareOf);
    m_sorter.Order(KeysOf(c), order == Qt::DescendingOrder, rows);
}

void InsightTableModel::sort(int column, Qt::SortOrder order) {
    if (column >= columnCount()) return;
    if (m_sorting) {
        // One sort at a time: the last asked for follows the one being made.
        m_waiting = true;
        m_waitingColumn = column;
        m_waitingOrder = order;
        return;
    }
    // The order before the last one lends its room to the new one.
    std::vector<std::uint32_t> rows = std::move(m_spareOrder);
    if (m_table.rows >= g_backgroundFrom && column >= 0) {
        m_made = std::move(rows);
        m_madeReady = false;
        auto task = std::make_unique<LongTask>([this, column, order] {
            MakeOrder(column, order, m_made);
            m_madeReady.store(true, std::memory_order_release);
        });
        if (task->Started()) {
            m_task = std::move(task);
            m_sorting = true;
            m_look.start();
            return;
        }
        rows = std::move(m_made);
    }
    MakeOrder(column, order, rows);
    ShowOrder(std::move(rows));
}

void InsightTableModel::Look() {
    if (!m_sorting || !m_madeReady.load(std::memory_order_acquire)) return;
    m_task.reset();
    m_sorting = false;
    m_look.stop();
    ShowOrder(std::move(m_made));
    if (m_waiting) {
        m_waiting = false;
        sort(m_waitingColumn, m_waitingOrder);
    }
}

void InsightTableModel::ShowOrder(std::vector<std::uint32_t> rows) {
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    // Selected rows stay selected: each persistent index follows its row.
    const QModelIndexList before = persistentIndexList();
    std::vector<std::size_t> sourceRows;
    for (const QModelIndex& index : before) sourceRows.push_back(SourceRow(index.row()));
    m_order.swap(rows);
    m_spareOrder = std::move(rows);
    if (!before.isEmpty()) {
        std::vector<int> viewRow(m_table.rows);
        for (std::size_t v = 0; v < m_table.rows; ++v)
            viewRow[SourceRow(static_cast<int>(v))] = static_cast<int>(v);
        QModelIndexList after;
        for (qsizetype i = 0; i < before.size(); ++i)
            after.push_back(
                index(viewRow[sourceRows[static_cast<std::size_t>(i)]], before[i].column()));
        changePersistentIndexList(before, after);
    }
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

}  // namespace pomurina
