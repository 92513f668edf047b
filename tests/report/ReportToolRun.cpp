#include "ReportToolRun.h"

#include <sys/wait.h>

#include <array>
#include <cstdio>

namespace pomurina::testing {

ReportOutcome RunReport(const std::string& arguments, const std::string& errFile,
                        const std::string& prefix) {
    return RunReportAt(POMURINA_REPORT, arguments, errFile, prefix);
}

ReportOutcome RunReportAt(const std::string& program, const std::string& arguments,
                          const std::string& errFile, const std::string& prefix) {
    const std::string command = prefix + " " + program + " " + arguments + " 2>'" + errFile + "'";
    FILE* pipe = ::popen(command.c_str(), "r");
    ReportOutcome outcome{-1, ""};
    std::array<char, 65536> buffer;
    std::size_t n;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        outcome.out.append(buffer.data(), n);
    const int raw = ::pclose(pipe);
    outcome.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return outcome;
}

}  // namespace pomurina::testing
