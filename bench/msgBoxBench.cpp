// How fast the launcher's error box appears: from starting the launcher on its failure road (every
// extraction name taken) to the MapNotify of its window, against xmessage showing the same text,
// under an Xvfb of its own without a window manager. Both are ended by killing their connection.
//
// Usage: msgBoxBench [--runs N] [--launcher PATH]
#include <X11/Xlib.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int DeadlineMs = 30000;

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "msgBoxBench: %s\n", what);
    std::exit(1);
}

struct Server {
    pid_t pid = -1;
    std::string display;

    Server() {
        int fds[2];
        if (pipe(fds) != 0)
            fail("pipe");
        pid = fork();
        if (pid == 0) {
            // Not 3: Xvfb loses a display descriptor of 3 when it has to skip a display number
            // that another server holds.
            dup2(fds[1], 9);
            execlp("Xvfb", "Xvfb", "-displayfd", "9", "-nolisten", "tcp", "-screen", "0",
                   "1280x1024x24", static_cast<char*>(nullptr));
            _exit(127);
        }
        close(fds[1]);
        pollfd ready{fds[0], POLLIN, 0};
        char number[32] = {};
        if (poll(&ready, 1, DeadlineMs) != 1 || read(fds[0], number, sizeof number - 1) <= 0)
            fail("Xvfb did not start");
        close(fds[0]);
        display = ":" + std::to_string(std::atoi(number));
    }
    ~Server() {
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
    }
};

pid_t start(const std::vector<std::string>& argv, const std::string& display) {
    pid_t child = fork();
    if (child == 0) {
        setenv("DISPLAY", display.c_str(), 1);
        std::vector<char*> args;
        for (const std::string& arg : argv)
            args.push_back(const_cast<char*>(arg.c_str()));
        args.push_back(nullptr);
        int quiet = open("/dev/null", O_WRONLY);
        dup2(quiet, 1);
        dup2(quiet, 2);
        execvp(args[0], args.data());
        _exit(127);
    }
    return child;
}

// Milliseconds from the start of the program to the MapNotify of its top-level window, which is
// then ended through its connection.
double timeToMap(Display* display, const std::vector<std::string>& argv, const std::string& name) {
    auto begin = Clock::now();
    pid_t child = start(argv, name);
    XEvent event;
    for (;;) {
        while (XPending(display)) {
            XNextEvent(display, &event);
            if (event.type == MapNotify && event.xmap.event == DefaultRootWindow(display)) {
                double elapsed =
                    std::chrono::duration<double, std::milli>(Clock::now() - begin).count();
                XKillClient(display, event.xmap.window);
                XSync(display, False);
                waitpid(child, nullptr, 0);
                return elapsed;
            }
        }
        pollfd ready{ConnectionNumber(display), POLLIN, 0};
        if (poll(&ready, 1, DeadlineMs) != 1)
            fail(("no window from " + argv[0]).c_str());
    }
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    int runs = 21;
    std::string launcher = QV_BENCH_LAUNCHER;
    for (int i = 1; i + 1 < argc; i += 2) {
        std::string option = argv[i];
        if (option == "--runs")
            runs = std::max(1, std::atoi(argv[i + 1]));
        else if (option == "--launcher")
            launcher = argv[i + 1];
    }
    Server server;
    Display* display = XOpenDisplay(server.display.c_str());
    if (!display)
        fail("cannot open the benchmark's display");
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, False);

    // The launcher fails at once: every name it could extract to is taken.
    std::filesystem::path scratch =
        std::filesystem::temp_directory_path() / ("qv-msgbox-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(scratch);
    std::filesystem::path copy = scratch / "qvserverLauncher";
    std::filesystem::copy_file(launcher, copy);
    std::ofstream(scratch / "Quorvel.tmp");
    for (int i = 1; i <= 99; ++i)
        std::ofstream(scratch / ("Quorvel(" + std::to_string(i) + ").tmp"));
    std::vector<std::string> launcherCommand{copy.string()};
    std::vector<std::string> xmessageCommand{"xmessage", "Too many files with same name"};

    timeToMap(display, launcherCommand, server.display); // warm the page cache
    timeToMap(display, xmessageCommand, server.display);
    std::vector<double> ours, reference;
    for (int run = 0; run < runs; ++run) {
        ours.push_back(timeToMap(display, launcherCommand, server.display));
        reference.push_back(timeToMap(display, xmessageCommand, server.display));
    }
    std::filesystem::remove_all(scratch);
    XCloseDisplay(display);

    std::printf("%-10s %14s\n", "variant", "median ms");
    std::printf("%-10s %14.3f\n", "launcher", median(ours));
    std::printf("%-10s %14.3f\n", "xmessage", median(reference));
    double ratio = median(ours) / median(reference);
    std::printf("launcher / xmessage: time to map %.3f (target <= 0.5) %s\n", ratio,
                ratio <= 0.5 ? "ok" : "ABOVE TARGET");
    return 0;
}
