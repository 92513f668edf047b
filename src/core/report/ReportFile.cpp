#include "report/ReportFile.h"

#include "io/FileReplacement.h"
#include "io/SameFile.h"
#include "report/HtmlReport.h"
#include "Errors.h"

namespace pomurina {

void SaveHtmlReport(ResultWindow& window, const ReportSource& source, const std::string& path) {
    // A report never takes the place of the log it describes.
    RefuseAnalysedLog(path, source.files);
    FileReplacement file(path);
    int error = file.Open();
    if (error == 0) {
        ReportStream out([&file](std::string_view block) { return file.Write(block); });
        WriteHtmlReport(window, source, out);
        error = out.Finish();
    }
    if (error == 0) error = file.Commit();
    if (error != 0) throw FileCreateFailure(path, error);
}

}  // namespace pomurina
