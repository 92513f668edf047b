#include "report/ReportFile.h"

#include <sys/stat.h>

#include "io/FileIo.h"
#include "io/FileReplacement.h"
#include "report/HtmlReport.h"
#include "text/Cp932.h"
#include "Errors.h"

namespace pomurina {

namespace {

bool SameFile(const std::string& a, const std::string& b) {
    struct stat first {
    }, second{};
    return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

}  // namespace

void SaveHtmlReport(ResultWindow& window, const ReportSource& source, const std::string& path) {
    // A report never takes the place of the log it describes.
    for (const std::string& log : source.files)
        if (SameFile(path, log))
            throw FileCreateError(FileCreateErrorText(PathText(FullPath(path)),
                                                      Utf8ToCp932("解析したログそのものです")));
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
