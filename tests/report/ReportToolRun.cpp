#include "ReportToolRun.h"

namespace pomurina::testing {

ReportOutcome RunReport(const std::string& arguments, const std::string& errFile,
                        const std::string& prefix) {
    return RunReportAt(POMURINA_REPORT, arguments, errFile, prefix);
}

ReportOutcome RunReportAt(const std::string& program, const std::string& arguments,
                          const std::string& errFile, const std::string& prefix) {
    return test::RunCommand(prefix + " " + program + " " + arguments + " 2>'" + errFile + "'");
}

}  // namespace pomurina::testing
