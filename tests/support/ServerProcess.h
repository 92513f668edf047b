#pragma once
// A test server run as a child process: started with its arguments, ready
// once a condition holds, stopped at the end.  Also commands run to their
// end, and the lines the servers log.
#include <sys/types.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace pomurina::test {

class ServerProcess {
public:
    // Starts args (args[0] a full path) with its output in outputFile, then
    // waits until ready() holds (at most 20 s); throws when the server ends
    // or doesn't get ready, with what and the server's output.
    ServerProcess(std::vector<std::string> args, const std::filesystem::path& outputFile,
                  const std::function<bool()>& ready, const std::string& what);
    ~ServerProcess();
    ServerProcess(const ServerProcess&) = delete;
    ServerProcess& operator=(const ServerProcess&) = delete;

private:
    pid_t m_pid = -1;
};

// Runs a command to its end (args[0] a full path), its output in
// outputFile; throws unless it exits with 0.
void RunToEnd(std::vector<std::string> args, const std::filesystem::path& outputFile);

// A shell command run to its end: its exit status (-1 when it didn't exit)
// and its standard output.
struct CommandOutcome {
    int status;
    std::string out;
};

// Runs a shell command (via popen) to its end; throws when it can't be started.
CommandOutcome RunCommand(const std::string& command);

// Whether something accepts connections at 127.0.0.1:port.
bool Listening(int port);

// The lines of a server's log file (none while it doesn't exist), as written.
std::vector<std::string> LinesOfFile(const std::filesystem::path& path);

// The lines that start with prefix, in order.
std::vector<std::string> StartingWith(std::vector<std::string> lines, const std::string& prefix);

}  // namespace pomurina::test
