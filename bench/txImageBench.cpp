// Putting a 1920x1080 tx::TXImage into a window and waiting for the server (XSync), with MIT
// shared memory and without it, against a loop of raw XShmPutImage or XPutImage calls on an
// XImage of the same size made directly with Xlib (target at least 0.9 of its throughput). Each
// mode runs on an Xvfb of its own (the toolkit keeps one connection per process): shared memory
// in this process, the plain mode in a forked child on a server started with -extension MIT-SHM.
#include <tx/TXImage.h>
#include <tx/TXWindow.h>

#include <plat/Exception.h>

#include "RatioReporter.h"

#include <benchmark/benchmark.h>

#include <X11/extensions/XShm.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <string>
#include <sys/ipc.h>
#include <sys/prctl.h>
#include <sys/shm.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int Width = 1920;
constexpr int Height = 1080;
constexpr double Target = 0.9;
constexpr int Repetitions = 9;

Window benchWindow = 0;

// An Xvfb of the benchmark's own, stopped at the end.
class Server {
public:
    explicit Server(bool sharedMemory) {
        int ready[2];
        if (pipe(ready) != 0)
            return;
        std::string fd = std::to_string(ready[1]);
        std::string screen = std::to_string(Width) + "x" + std::to_string(Height) + "x24";
        std::vector<const char*> argv = {"Xvfb",     "-displayfd", fd.c_str(), "-nolisten",   "tcp",
                                         "-noreset", "-screen",    "0",        screen.c_str()};
        if (!sharedMemory)
            argv.insert(argv.end(), {"-extension", "MIT-SHM"});
        argv.push_back(nullptr);
        pid = fork();
        if (pid == 0) {
            // Only async-signal-safe calls on data prepared before the fork. The server ends
            // with the benchmark, also when that is killed.
            prctl(PR_SET_PDEATHSIG, SIGTERM);
            close(ready[0]);
            int quiet = open("/dev/null", O_WRONLY);
            dup2(quiet, 2);
            execvp(argv[0], const_cast<char* const*>(argv.data()));
            _exit(127);
        }
        close(ready[1]);
        // Xvfb writes the number and the line feed separately, and ends when the second write
        // finds the pipe closed: read the whole line.
        pollfd wait = {ready[0], POLLIN, 0};
        std::string number;
        char c = 0;
        while (pid > 0 && poll(&wait, 1, 30000) == 1 && read(ready[0], &c, 1) == 1 && c != '\n')
            number += c;
        if (c == '\n' && !number.empty())
            name = ":" + number;
        close(ready[0]);
    }
    ~Server() {
        if (pid > 0) {
            kill(pid, SIGTERM);
            waitpid(pid, nullptr, 0);
        }
    }
    std::string name;

private:
    pid_t pid = -1;
};

void fillTestPattern(char* pixels, int bytesPerLine) {
    for (int y = 0; y < Height; y++)
        for (int x = 0; x < bytesPerLine; x++)
            pixels[std::size_t(y) * std::size_t(bytesPerLine) + std::size_t(x)] = char(x ^ y);
}

void BM_TXImagePut(benchmark::State& state) {
    tx::TXImage image({Width, Height});
    fillTestPattern(static_cast<XImage*>(image.getNativeImage())->data,
                    static_cast<XImage*>(image.getNativeImage())->bytes_per_line);
    for (auto _ : state) {
        image.put(benchWindow, tx::TXWindow::defaultGC(), image.getRect());
        XSync(tx::TXWindow::display(), False);
    }
    state.SetItemsProcessed(state.iterations());
    state.SetLabel(image.usesSharedMemory() ? "shared memory" : "plain");
}

// The same put as raw Xlib calls on an image made by hand.
void BM_TXImagePut_Reference(benchmark::State& state) {
    Display* display = tx::TXWindow::display();
    Visual* visual = DefaultVisual(display, DefaultScreen(display));
    int depth = DefaultDepth(display, DefaultScreen(display));
    GC gc = tx::TXWindow::defaultGC();
    bool shared = XShmQueryExtension(display);
    XShmSegmentInfo info = {};
    XImage* image = nullptr;
    if (shared) {
        image = XShmCreateImage(display, visual, unsigned(depth), ZPixmap, nullptr, &info, Width,
                                Height);
        info.shmid =
            shmget(IPC_PRIVATE, std::size_t(image->bytes_per_line) * Height, IPC_CREAT | 0600);
        info.shmaddr = image->data = static_cast<char*>(shmat(info.shmid, nullptr, 0));
        info.readOnly = False;
        XShmAttach(display, &info);
        XSync(display, False);
        shmctl(info.shmid, IPC_RMID, nullptr);
    } else {
        image = XCreateImage(display, visual, unsigned(depth), ZPixmap, 0, nullptr, Width, Height,
                             32, 0);
        image->data = static_cast<char*>(std::calloc(std::size_t(image->bytes_per_line), Height));
    }
    fillTestPattern(image->data, image->bytes_per_line);
    for (auto _ : state) {
        if (shared)
            XShmPutImage(display, benchWindow, gc, image, 0, 0, 0, 0, Width, Height, False);
        else
            XPutImage(display, benchWindow, gc, image, 0, 0, 0, 0, Width, Height);
        XSync(display, False);
    }
    state.SetItemsProcessed(state.iterations());
    if (shared) {
        XShmDetach(display, &info);
        XSync(display, False);
        shmdt(info.shmaddr);
    } else {
        std::free(image->data);
    }
    image->data = nullptr;
    XDestroyImage(image);
}

BENCHMARK(BM_TXImagePut)->Repetitions(Repetitions)->ReportAggregatesOnly(true);
BENCHMARK(BM_TXImagePut_Reference)->Repetitions(Repetitions)->ReportAggregatesOnly(true);

bool runBenchmarks(bool sharedMemory) {
    Server server(sharedMemory);
    if (server.name.empty()) {
        std::fprintf(stderr, "txImageBench: Xvfb did not start\n");
        return false;
    }
    tx::TXWindow::init(server.name.c_str());
    tx::TXWindow window(Width, Height, nullptr, 0, true);
    window.show(true);
    benchWindow = window.win();
    std::printf("\n%s (Xvfb %s):\n", sharedMemory ? "With MIT-SHM" : "Without MIT-SHM",
                server.name.c_str());
    std::fflush(stdout);
    bench::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\nTargets:\n");
    reporter.printRatio("BM_TXImagePut", Target);
    std::fflush(stdout);
    return true;
}

// Runs both benchmarks against a server of the given kind; false when it cannot start.
bool runOnServer(bool sharedMemory) {
    try {
        return runBenchmarks(sharedMemory);
    } catch (const plat::Exception& failure) {
        std::fprintf(stderr, "txImageBench: %s\n", failure.message());
        return false;
    }
}

} // namespace

int main(int argc, char** argv) {
    // Most of the time is the server's: interleaving the repetitions of ours and the reference's
    // spreads the drift of a shared machine over both. Later arguments may override it.
    std::vector<char*> arguments(argv, argv + argc);
    char interleave[] = "--benchmark_enable_random_interleaving=true";
    arguments.insert(arguments.begin() + 1, interleave);
    int count = int(arguments.size());
    benchmark::Initialize(&count, arguments.data());
    if (benchmark::ReportUnrecognizedArguments(count, arguments.data()))
        return 1;
    char profile[] = "/tmp/txImageBench.XXXXXX";
    if (!mkdtemp(profile))
        return 1;
    // The shared memory markers go to a scratch profile directory.
    setenv("KBX_PROFILE_DIR", profile, 1);
    std::fflush(stdout);
    pid_t plain = fork();
    if (plain == 0)
        _exit(runOnServer(false) ? 0 : 1);
    int status = 1;
    waitpid(plain, &status, 0);
    bool ok = WIFEXITED(status) && WEXITSTATUS(status) == 0 && runOnServer(true);
    benchmark::Shutdown();
    std::filesystem::remove_all(profile);
    return ok ? 0 : 1;
}
