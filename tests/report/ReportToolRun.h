#pragma once
// The report tool run as a child process, as a user or a script runs it.
#include <string>

#include "ServerProcess.h"

namespace pomurina::testing {

using ReportOutcome = test::CommandOutcome;

// Runs the report tool with arguments (already quoted for the shell) and its
// standard error sent to errFile; prefix goes before the command (a cd, variables).
ReportOutcome RunReport(const std::string& arguments, const std::string& errFile = "/dev/null",
                        const std::string& prefix = "");
// The same for a copy of the tool at program (a portable copy with its own data folder).
ReportOutcome RunReportAt(const std::string& program, const std::string& arguments,
                          const std::string& errFile = "/dev/null", const std::string& prefix = "");

// s in single quotes, for a shell's command line (s holds no single quote).
inline std::string Quote(const std::string& s) {
    return "'" + s + "'";
}

}  // namespace pomurina::testing
