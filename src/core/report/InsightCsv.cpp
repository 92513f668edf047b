#include "report/InsightCsv.h"

#include <sys/stat.h>

#include <cerrno>
#include <memory>

#include "Errors.h"
#include "io/FileIo.h"
#include "io/FileReplacement.h"
#include "io/SameFile.h"
#include "report/CsvText.h"
#include "report/InsightTables.h"
#include "text/Cp932.h"

namespace pomurina {

CsvFile InsightCsvFile(const InsightTable& table) {
    CsvFile file{std::string(table.key) + ".csv", "\xEF\xBB\xBF"};
    std::string& b = file.bytes;
    for (std::size_t c = 0; c < table.columns.size(); ++c) {
        if (c > 0) b += ',';
        AppendCsvField(table.columns[c].caption, b);
    }
    b += "\r\n";
    for (std::size_t r = 0; r < table.rows; ++r) {
        for (std::size_t c = 0; c < table.columns.size(); ++c) {
            if (c > 0) b += ',';
            const InsightCell cell = table.cell(r, c);
            switch (cell.kind) {
                case InsightCell::Kind::Number:
                    b += std::to_string(cell.number);
                    break;
                case InsightCell::Kind::Text:
                    AppendCsvField(cell.text, b);
                    break;
                case InsightCell::Kind::LogText:
                    AppendCsvField(Cp932ToUtf8(cell.log), b);
                    break;
            }
        }
        b += "\r\n";
    }
    return file;
}

std::vector<CsvFile> InsightCsvFiles(const Insight& insight) {
    std::vector<CsvFile> files;
    files.push_back(InsightCsvFile(InsightTotalsTable(insight)));
    for (const InsightTable& table : InsightTablesOf(insight))
        files.push_back(InsightCsvFile(table));
    files.push_back(InsightCsvFile(VisitDurationsTable(insight)));
    return files;
}

void SaveInsightCsv(const Insight& insight, const std::string& folder,
                    const std::vector<std::string>& logs) {
    if (::mkdir(folder.c_str(), 0777) != 0 && errno != EEXIST) {
        const int error = errno;
        throw FileCreateError(Utf8ToCp932("フォルダ \"") + PathText(FullPath(folder)) + "\". " +
                              SystemErrorText(error) + Utf8ToCp932(" を作成できません"));
    }
    struct Written {
        std::string path;
        std::unique_ptr<FileReplacement> file;
    };
    std::vector<Written> written;
    for (const CsvFile& file : InsightCsvFiles(insight)) {
        std::string path = folder + "/" + file.name;
        RefuseAnalysedLog(path, logs);
        auto replacement = std::make_unique<FileReplacement>(path);
        int error = replacement->Open();
        if (error == 0) error = replacement->Write(file.bytes);
        if (error != 0) throw FileCreateFailure(path, error);
        written.push_back({std::move(path), std::move(replacement)});
    }
    // Only now does any file take its target's place.
    for (const Written& file : written)
        if (const int error = file.file->Commit()) throw FileCreateFailure(file.path, error);
}

}  // namespace pomurina
