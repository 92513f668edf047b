#include "InsightDump.h"

#include "report/InsightJson.h"
#include "widgets/InsightModels.h"

namespace pomurina {

std::string InsightDumpText(const InsightModels* models) {
    std::string text;
    ReportStream out([&text](std::string_view block) {
        text += block;
        return 0;
    });
    if (!models) {
        WriteInsightJson(nullptr, out);
    } else {
        out.Buffer() += "  \"insight\": ";
        std::vector<const InsightTable*> tables;
        for (const InsightTableModel* model : models->Tables()) tables.push_back(&model->Table());
        WriteInsightObject(models->Data().totals, tables, models->Durations().Table(), out);
    }
    out.Buffer() += '\n';
    out.Finish();
    return text;
}

}  // namespace pomurina
