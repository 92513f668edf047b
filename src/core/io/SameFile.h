#pragma once
// Whether an output would land on a file the run read: names are compared by
// what they lead to (device and inode), so a link, another spelling of the
// path or standard input redirected from the file is caught too.
#include <string>
#include <vector>

namespace pomurina {

// Whether path names an existing file that is one of logs ("-" in logs
// stands for the program's standard input, compared by its descriptor).
bool IsOneOfLogs(const std::string& path, const std::vector<std::string>& logs);

// Refuses an output at path that is one of logs: throws FileCreateError
// naming it ("解析したログそのものです").
void RefuseAnalysedLog(const std::string& path, const std::vector<std::string>& logs);

}  // namespace pomurina
