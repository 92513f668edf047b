#include "widgets/InsightModels.h"

namespace pomurina {
namespace {

// The pages with one of their counts (PageRow::entries or exits).
InsightTable PagesBy(const std::vector<PageRow>& pages, const char* key, const char* caption,
                     std::int64_t PageRow::*count) {
    InsightTable table{key, caption, {{"path", "ページ"}, {key, caption}}, pages.size(), {}, {}};
    table.cell = [&pages, count](std::size_t r, std::size_t c) {
        InsightCell cell;
        if (c == 0) {
            cell.kind = InsightCell::Kind::LogText;
            cell.log = pages[r].path;
        } else {
            cell.number = pages[r].*count;
        }
        return cell;
    };
    return table;
}

}  // namespace

InsightModels::InsightModels(std::shared_ptr<const Insight> insight)
    : m_insight(std::move(insight)) {
    for (InsightTable& table : InsightTablesOf(*m_insight))
        m_tables.push_back(new InsightTableModel(std::move(table), m_insight, &m_owner));
    m_durations = new InsightTableModel(VisitDurationsTable(*m_insight), m_insight, &m_owner);
    m_entries = new InsightTableModel(
        PagesBy(m_insight->pages, "entries", "入口", &PageRow::entries), m_insight, &m_owner);
    m_exits = new InsightTableModel(PagesBy(m_insight->pages, "exits", "出口", &PageRow::exits),
                                    m_insight, &m_owner);
}

InsightTableModel* InsightModels::Find(std::string_view key) const {
    for (InsightTableModel* model : m_tables)
        if (key == model->Table().key) return model;
    for (InsightTableModel* model : {m_durations, m_entries, m_exits})
        if (key == model->Table().key) return model;
    return nullptr;
}

}  // namespace pomurina
