#pragma once
// The table models of one run's insight: one for every table the reports
// write, in their order, then the visit durations.  Made once for a run,
// when the insight is first shown.  The entries and exits are the pages
// table seen by its entries or its exits.
#include <QObject>
#include <memory>
#include <string_view>
#include <vector>

#include "insight/Insight.h"
#include "widgets/InsightTableModel.h"

namespace pomurina {

class InsightModels {
public:
    explicit InsightModels(std::shared_ptr<const Insight> insight);

    const Insight& Data() const { return *m_insight; }
    // The tables in the reports' order (days to hosts).
    const std::vector<InsightTableModel*>& Tables() const { return m_tables; }
    InsightTableModel& Durations() const { return *m_durations; }
    // The table of key ("pages", "hosts"…, and "entries" and "exits", the
    // pages by the visits that began or ended on them); null for a key no
    // table has.
    InsightTableModel* Find(std::string_view key) const;

private:
    std::shared_ptr<const Insight> m_insight;
    QObject m_owner;  // parent of every model
    std::vector<InsightTableModel*> m_tables;
    InsightTableModel* m_durations = nullptr;
    InsightTableModel* m_entries = nullptr;
    InsightTableModel* m_exits = nullptr;
};

}  // namespace pomurina
