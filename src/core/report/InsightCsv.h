#pragma once
// The insight as CSV files, one per table, for spreadsheets: UTF-8 with a
// byte-order mark (so that Excel reads it as UTF-8), CR LF, quoted as RFC
// 4180 says (see CsvText.h), captions in the first row.  Paths and hosts are
// the log's bytes read as Shift-JIS, a byte that isn't shown as U+FFFD.
#include <string>
#include <vector>

#include "insight/Insight.h"
#include "report/InsightTables.h"

namespace pomurina {

struct CsvFile {
    std::string name;  // "<table key>.csv"
    std::string bytes;
};

// One table's file, its rows in the table's order.
CsvFile InsightCsvFile(const InsightTable& table);

// The files: the totals, every table, the visit durations.
std::vector<CsvFile> InsightCsvFiles(const Insight& insight);

// Saves the files in folder (made when absent; its parent must exist), each
// whole or not at all: all are written beside their targets before any takes
// its target's place.  A file that would take the place of one of logs, or
// that can't be written, throws FileCreateError naming it; the folder that
// can't be made, FileCreateError naming the folder.
void SaveInsightCsv(const Insight& insight, const std::string& folder,
                    const std::vector<std::string>& logs);

}  // namespace pomurina
