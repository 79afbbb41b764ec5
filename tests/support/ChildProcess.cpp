// Starting programs under test and talking to them through pipes.
#include "ChildProcess.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <utility>

namespace testsupport {

namespace {

void closeIfOpen(int& fd) {
    if (fd >= 0)
        close(fd);
    fd = -1;
}

[[noreturn]] void failSystemCall(const char* what) {
    throw std::runtime_error(std::string(what) + ": " + std::strerror(errno));
}

void makePipe(int ends[2]) {
    if (pipe2(ends, O_CLOEXEC) != 0)
        failSystemCall("pipe2");
}

void appendOrClose(const pollfd& ready, int& fd, std::string& sink) {
    if (fd < 0 || !(ready.revents & (POLLIN | POLLHUP | POLLERR)))
        return;
    char buffer[65536];
    ssize_t got = read(fd, buffer, sizeof buffer);
    if (got <= 0)
        closeIfOpen(fd);
    else
        sink.append(buffer, std::size_t(got));
}

} // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& argv, StreamOptions options) {
    int input[2], output[2], error[2];
    makePipe(input);
    makePipe(output);
    makePipe(error);
    std::vector<char*> arguments;
    for (const std::string& argument : argv)
        arguments.push_back(const_cast<char*>(argument.c_str()));
    arguments.push_back(nullptr);

    childPid = fork();
    if (childPid < 0)
        failSystemCall("fork");
    if (childPid == 0) {
        // Only async-signal-safe calls on the argument array built before the fork.
        signal(SIGPIPE, SIG_DFL);
        dup2(input[0], 0);
        dup2(output[1], 1);
        dup2(error[1], 2);
        if (options.closeStdin)
            close(0);
        if (options.closeStderr)
            close(2);
        execv(arguments[0], arguments.data());
        _exit(127);
    }
    close(input[0]);
    close(output[1]);
    close(error[1]);
    inputFd = input[1];
    outputFd = output[0];
    errorFd = error[0];
    // A child that stops reading must not kill the test with SIGPIPE.
    signal(SIGPIPE, SIG_IGN);
}

ChildProcess::~ChildProcess() {
    if (childPid > 0 && running()) {
        kill(childPid, SIGKILL);
        waitpid(childPid, nullptr, 0);
    }
    closeIfOpen(inputFd);
    closeIfOpen(outputFd);
    closeIfOpen(errorFd);
}

std::string ChildProcess::readOutputLine() {
    return readLine(outputFd, pendingOutput);
}

std::string ChildProcess::readErrorLine() {
    return readLine(errorFd, pendingError);
}

std::string ChildProcess::readLine(int fd, std::string& pending) {
    std::size_t lineEnd;
    while ((lineEnd = pending.find('\n')) == std::string::npos) {
        struct pollfd ready = {fd, POLLIN, 0};
        if (poll(&ready, 1, 60000) == 0)
            throw std::runtime_error("timed out waiting for a line");
        char buffer[4096];
        ssize_t got = read(fd, buffer, sizeof buffer);
        if (got <= 0)
            return std::exchange(pending, {});
        pending.append(buffer, std::size_t(got));
    }
    std::string line = pending.substr(0, lineEnd);
    pending.erase(0, lineEnd + 1);
    return line;
}

void ChildProcess::writeInput(const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t written = write(inputFd, bytes.data() + done, bytes.size() - done);
        if (written < 0 && errno != EINTR)
            failSystemCall("write");
        done += written > 0 ? std::size_t(written) : 0;
    }
}

void ChildProcess::sendSignal(int signal) {
    if (kill(childPid, signal) != 0)
        failSystemCall("kill");
}

bool ChildProcess::running() {
    siginfo_t info = {};
    return waitid(P_PID, id_t(childPid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
           info.si_pid == 0;
}

ExitResult ChildProcess::finish(const std::string& input) {
    ExitResult result;
    result.output = std::exchange(pendingOutput, {});
    result.errorOutput = std::exchange(pendingError, {});
    // Fed from a thread of its own: a blocking write could wait for a child that waits for us to
    // read its output. A child that stops reading ends the feeding.
    std::thread feeder([&] {
        try {
            writeInput(input);
        } catch (const std::runtime_error&) {
        }
        closeIfOpen(inputFd);
    });
    while (outputFd >= 0 || errorFd >= 0) {
        struct pollfd fds[2] = {{outputFd, POLLIN, 0}, {errorFd, POLLIN, 0}};
        if (poll(fds, 2, -1) < 0 && errno != EINTR)
            failSystemCall("poll");
        appendOrClose(fds[0], outputFd, result.output);
        appendOrClose(fds[1], errorFd, result.errorOutput);
    }
    feeder.join();
    int status = 0;
    while (waitpid(childPid, &status, 0) < 0 && errno == EINTR) {
    }
    childPid = -1;
    result.exited = WIFEXITED(status);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : WTERMSIG(status);
    return result;
}

ExitResult runToEnd(const std::vector<std::string>& argv, const std::string& input,
                    StreamOptions options) {
    return ChildProcess(argv, options).finish(input);
}

} // namespace testsupport
