// A program started by a test, with pipes on its standard streams.
#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

namespace testsupport {

struct ExitResult {
    bool exited = false;     // ended by exit (else by a signal)
    int status = -1;         // exit status, or the signal number
    std::string output;      // everything written to standard output
    std::string errorOutput; // everything written to standard error

    bool reported(const std::string& text) const {
        return errorOutput.find(text) != std::string::npos;
    }
};

struct StreamOptions {
    bool closeStdin = false;  // start with descriptor 0 closed instead of a pipe
    bool closeStderr = false; // start with descriptor 2 closed instead of a pipe
};

class ChildProcess {
public:
    // argv[0] is the program to execute (not searched in PATH).
    explicit ChildProcess(const std::vector<std::string>& argv, StreamOptions options = {});
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Reads standard output until a line feed or the end; throws when a minute passes in silence.
    std::string readOutputLine();
    // The same for standard error.
    std::string readErrorLine();
    void writeInput(const std::string& bytes);
    void sendSignal(int signal);
    // Whether the child is still running (it is not reaped by this call).
    bool running();
    pid_t pid() const { return childPid; }
    // Feeds input (then closes it), collects all output and waits for the end.
    ExitResult finish(const std::string& input = {});

private:
    std::string readLine(int fd, std::string& pending);

    pid_t childPid = -1;
    int inputFd = -1;
    int outputFd = -1;
    int errorFd = -1;
    std::string pendingOutput;
    std::string pendingError;
};

// Runs a program to its end.
ExitResult runToEnd(const std::vector<std::string>& argv, const std::string& input = {},
                    StreamOptions options = {});

} // namespace testsupport

// The end-to-end tests' name for these helpers, from when they were theirs alone.
namespace launchertest = testsupport;
