// Xvfb servers, X clients, window managers and screenshots for user-interface tests.
#include "XServer.h"

#include "fileContents.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

extern char** environ;

namespace testsupport {

namespace {

// Through syscall: glibc 2.36 declares pidfd_open without C linkage for C++.
int pidfd_open(pid_t pid, unsigned flags) {
    return int(syscall(SYS_pidfd_open, pid, flags));
}

[[noreturn]] void fail(const std::string& what) {
    throw std::runtime_error(what + ": " + std::strerror(errno));
}

long long monotonicMs() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return (long long)now.tv_sec * 1000 + now.tv_nsec / 1000000;
}

int remainingMs(long long deadline) {
    long long left = deadline - monotonicMs();
    return left < 0 ? 0 : int(left);
}

// Waits for readability of fd; false at the deadline.
bool waitReadable(int fd, long long deadline) {
    for (;;) {
        pollfd ready = {fd, POLLIN, 0};
        int count = poll(&ready, 1, remainingMs(deadline));
        if (count > 0)
            return true;
        if (count == 0)
            return false;
        if (errno != EINTR)
            fail("poll");
    }
}

std::string findInPath(const std::string& program) {
    if (program.find('/') != std::string::npos)
        return program;
    const char* path = std::getenv("PATH");
    std::string directories = path ? path : "/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= directories.size()) {
        std::size_t end = directories.find(':', start);
        if (end == std::string::npos)
            end = directories.size();
        std::string candidate = directories.substr(start, end - start) + "/" + program;
        if (access(candidate.c_str(), X_OK) == 0)
            return candidate;
        start = end + 1;
    }
    throw std::runtime_error(program + " is not installed (scripts/install-deps installs it)");
}

std::vector<char*> pointersTo(std::vector<std::string>& texts) {
    std::vector<char*> pointers;
    for (std::string& text : texts)
        pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

void signalAndReap(pid_t pid, int pidDescriptor, int signal, int graceMs) {
    ::kill(pid, signal);
    if (pidDescriptor >= 0 && !waitReadable(pidDescriptor, monotonicMs() + graceMs))
        ::kill(pid, SIGKILL);
    while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
    }
}

} // namespace

XServer::XServer(XServerOptions options) : settings(options) {
    int ready[2];
    if (pipe2(ready, O_CLOEXEC) != 0)
        fail("pipe2");
    std::vector<std::string> arguments = {findInPath("Xvfb"),
                                          "-displayfd",
                                          std::to_string(ready[1]),
                                          "-nolisten",
                                          "tcp",
                                          "-noreset",
                                          "-screen",
                                          "0",
                                          std::to_string(options.width) + "x" +
                                              std::to_string(options.height) + "x" +
                                              std::to_string(options.depth)};
    if (options.depth == 8)
        arguments.insert(arguments.end(), {"-cc", "3"});
    if (!options.sharedMemory)
        arguments.insert(arguments.end(), {"-extension", "MIT-SHM"});
    if (!options.authorityFile.empty())
        arguments.insert(arguments.end(), {"-auth", options.authorityFile});
    std::vector<char*> argv = pointersTo(arguments);
    int nullDevice = open("/dev/null", O_RDWR | O_CLOEXEC);

    serverPid = fork();
    if (serverPid < 0)
        fail("fork");
    if (serverPid == 0) {
        // Only async-signal-safe calls on data prepared before the fork. The server ends with a
        // test process that is killed before it can stop it.
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        dup2(nullDevice, 0);
        dup2(nullDevice, 1);
        dup2(nullDevice, 2);
        fcntl(ready[1], F_SETFD, 0);
        execv(argv[0], argv.data());
        _exit(127);
    }
    close(nullDevice);
    close(ready[1]);
    std::string number;
    long long deadline = monotonicMs() + XDeadlineMs;
    char c;
    while (waitReadable(ready[0], deadline) && read(ready[0], &c, 1) == 1 && c != '\n')
        number += c;
    close(ready[0]);
    if (number.empty()) {
        signalAndReap(serverPid, -1, SIGKILL, 0);
        throw std::runtime_error("Xvfb did not become ready");
    }
    name = ":" + number;
}

XServer::~XServer() {
    kill();
}

void XServer::kill() {
    if (serverPid <= 0)
        return;
    int pidDescriptor = pidfd_open(serverPid, 0);
    // SIGTERM lets the server remove its lock file and socket.
    signalAndReap(serverPid, pidDescriptor, SIGTERM, XDeadlineMs);
    if (pidDescriptor >= 0)
        close(pidDescriptor);
    serverPid = -1;
}

XClient::XClient(const XServer& server, const std::vector<std::string>& argv,
                 const std::string& input) {
    std::string inputPath = files.write("input", input);
    std::vector<std::string> arguments = argv;
    arguments[0] = findInPath(argv.at(0));
    std::vector<std::string> environment;
    for (char** variable = environ; *variable; variable++) {
        if (std::strncmp(*variable, "DISPLAY=", 8) != 0)
            environment.push_back(*variable);
    }
    environment.push_back("DISPLAY=" + server.display());
    std::vector<char*> argumentPointers = pointersTo(arguments);
    std::vector<char*> environmentPointers = pointersTo(environment);
    int in = open(inputPath.c_str(), O_RDONLY | O_CLOEXEC);
    int out = open(files.file("output").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    int err = open(files.file("error").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (in < 0 || out < 0 || err < 0)
        fail("open");

    clientPid = fork();
    if (clientPid < 0)
        fail("fork");
    if (clientPid == 0) {
        // Only async-signal-safe calls on data prepared before the fork; the client ends with
        // the process that started it.
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        signal(SIGPIPE, SIG_DFL);
        dup2(in, 0);
        dup2(out, 1);
        dup2(err, 2);
        execve(argumentPointers[0], argumentPointers.data(), environmentPointers.data());
        _exit(127);
    }
    close(in);
    close(out);
    close(err);
    pidDescriptor = pidfd_open(clientPid, 0);
    if (pidDescriptor < 0)
        fail("pidfd_open");
}

XClient::~XClient() {
    kill();
    if (pidDescriptor >= 0)
        close(pidDescriptor);
}

bool XClient::hasEnded() {
    if (ended)
        return true;
    int result = 0;
    if (waitpid(clientPid, &result, WNOHANG) != clientPid)
        return false;
    ended = true;
    status = WIFEXITED(result) ? WEXITSTATUS(result) : -1;
    return true;
}

int XClient::wait(int timeoutMs) {
    if (!hasEnded() && waitReadable(pidDescriptor, monotonicMs() + timeoutMs))
        hasEnded();
    if (!ended)
        kill();
    return status;
}

void XClient::kill() {
    if (ended || clientPid <= 0)
        return;
    signalAndReap(clientPid, pidDescriptor, SIGKILL, XDeadlineMs);
    ended = true;
    status = -1;
}

std::string XClient::output() const {
    return readFile(files.file("output"));
}

std::string XClient::errorOutput() const {
    return readFile(files.file("error"));
}

XClientResult runXClient(const XServer& server, const std::vector<std::string>& argv,
                         const std::string& input) {
    XClient client(server, argv, input);
    int status = client.wait();
    return {status, client.output(), client.errorOutput()};
}

namespace {

// Waits until some client holds SubstructureRedirect on the root window. A window manager selects
// it and then creates windows or sets root properties: each of those events is a moment to look.
bool redirectTaken(Display* display, XClient& manager, long long deadline) {
    Window root = DefaultRootWindow(display);
    XSelectInput(display, root, SubstructureNotifyMask | PropertyChangeMask);
    for (;;) {
        XWindowAttributes attributes;
        XGetWindowAttributes(display, root, &attributes);
        if (attributes.all_event_masks & SubstructureRedirectMask)
            return true;
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
        }
        pollfd ready[2] = {{ConnectionNumber(display), POLLIN, 0},
                           {manager.endDescriptor(), POLLIN, 0}};
        if (poll(ready, 2, remainingMs(deadline)) <= 0 || (ready[1].revents & POLLIN))
            return false;
    }
}

// Maps a probe window until the window manager maps it. Managers drop the requests that came
// while they started up, so an unanswered request is made again after a while.
bool probeManaged(Display* display, long long deadline) {
    constexpr int RetryMs = 500;
    Window probe = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
    XSizeHints hints = {};
    hints.flags = USPosition | USSize;
    XSetWMNormalHints(display, probe, &hints);
    XSelectInput(display, probe, StructureNotifyMask);
    bool mapped = false;
    while (!mapped && remainingMs(deadline) > 0) {
        XMapWindow(display, probe);
        XFlush(display);
        long long retry = std::min(deadline, monotonicMs() + RetryMs);
        XEvent event;
        while (!(mapped = XCheckTypedWindowEvent(display, probe, MapNotify, &event)) &&
               waitReadable(ConnectionNumber(display), retry)) {
        }
    }
    XDestroyWindow(display, probe);
    XSync(display, False);
    return mapped;
}

} // namespace

std::unique_ptr<XClient> startWindowManager(const XServer& server,
                                            const std::vector<std::string>& argv) {
    auto manager = std::make_unique<XClient>(server, argv);
    Display* display = XOpenDisplay(server.display().c_str());
    if (!display)
        throw std::runtime_error("cannot open " + server.display());
    long long deadline = monotonicMs() + XDeadlineMs;
    bool managing = redirectTaken(display, *manager, deadline) && probeManaged(display, deadline);
    XCloseDisplay(display);
    if (!managing)
        throw std::runtime_error(argv[0] + " did not start managing the screen");
    return manager;
}

std::uint32_t Screenshot::pixel(int x, int y) const {
    std::size_t at = (std::size_t(y) * std::size_t(width) + std::size_t(x)) * 3;
    return std::uint32_t(rgb.at(at)) << 16 | std::uint32_t(rgb.at(at + 1)) << 8 | rgb.at(at + 2);
}

// The next number of a PPM header, skipping blanks and comment lines; -1 when there is none.
int headerNumber(const std::string& ppm, std::size_t& at) {
    while (at < ppm.size() &&
           (std::isspace(static_cast<unsigned char>(ppm[at])) || ppm[at] == '#')) {
        if (ppm[at] == '#')
            at = ppm.find('\n', at);
        else
            at++;
    }
    if (at >= ppm.size() || !std::isdigit(static_cast<unsigned char>(ppm[at])))
        return -1;
    int value = 0;
    while (at < ppm.size() && std::isdigit(static_cast<unsigned char>(ppm[at])))
        value = value * 10 + (ppm[at++] - '0');
    return value;
}

Screenshot screenshot(const XServer& server) {
    XClientResult result =
        runXClient(server, {"sh", "-c", "xwd -root -silent | /usr/bin/convert xwd:- -strip ppm:-"});
    const std::string& ppm = result.output;
    Screenshot shot;
    std::size_t at = 2;
    if (result.status != 0 || ppm.compare(0, 2, "P6") != 0)
        throw std::runtime_error("no screenshot: " + result.errorOutput);
    shot.width = headerNumber(ppm, at);
    shot.height = headerNumber(ppm, at);
    int maximum = headerNumber(ppm, at);
    if (shot.width <= 0 || shot.height <= 0 || maximum != 255)
        throw std::runtime_error("unexpected screenshot header");
    std::size_t start = at + 1;
    std::size_t size = std::size_t(shot.width) * std::size_t(shot.height) * 3;
    if (ppm.size() < start + size)
        throw std::runtime_error("short screenshot");
    shot.rgb.assign(ppm.begin() + long(start), ppm.begin() + long(start + size));
    return shot;
}

} // namespace testsupport
