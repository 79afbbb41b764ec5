// Start-up cost of the launcher compared with a minimal reference launcher and with starting the
// payload directly. Each variant runs the same 7,168,272-byte payload, which exits at once.
//
// Usage: launcherBench [--runs N] [--launcher PATH] [--reference PATH] [--payload PATH]
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

struct Variant {
    const char* name;
    std::string program;
    std::vector<double> milliseconds;
    std::vector<long> peakKilobytes;
};

struct Sample {
    double milliseconds;
    long peakKilobytes;
};

Sample runOnce(const std::string& program) {
    auto start = std::chrono::steady_clock::now();
    pid_t child = fork();
    if (child == 0) {
        execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    struct rusage usage = {};
    while (wait4(child, &status, 0, &usage) < 0 && errno == EINTR) {
    }
    auto elapsed = std::chrono::steady_clock::now() - start;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "%s failed with status %d\n", program.c_str(), status);
        std::exit(1);
    }
    return {std::chrono::duration<double, std::milli>(elapsed).count(), usage.ru_maxrss};
}

template <typename T>
T median(std::vector<T> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

std::string copyInto(const std::filesystem::path& directory, const std::string& program) {
    std::filesystem::path target = directory / std::filesystem::path(program).filename();
    std::filesystem::copy_file(program, target);
    return target.string();
}

} // namespace

int main(int argc, char** argv) {
    int runs = 200;
    std::string launcher = QV_BENCH_LAUNCHER, reference = QV_BENCH_REFERENCE,
                payload = QV_BENCH_PAYLOAD;
    for (int i = 1; i + 1 < argc; i += 2) {
        std::string option = argv[i];
        if (option == "--runs")
            runs = std::max(1, std::atoi(argv[i + 1]));
        else if (option == "--launcher")
            launcher = argv[i + 1];
        else if (option == "--reference")
            reference = argv[i + 1];
        else if (option == "--payload")
            payload = argv[i + 1];
    }

    // Each launcher extracts beside itself: give each its own directory.
    std::filesystem::path scratch =
        std::filesystem::temp_directory_path() / ("qv-launcher-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(scratch / "launcher");
    std::filesystem::create_directories(scratch / "reference");
    std::filesystem::create_directories(scratch / "direct");
    std::vector<Variant> variants = {
        {"launcher", copyInto(scratch / "launcher", launcher), {}, {}},
        {"reference", copyInto(scratch / "reference", reference), {}, {}},
        {"direct exec", copyInto(scratch / "direct", payload), {}, {}},
    };

    for (Variant& variant : variants)
        runOnce(variant.program); // warm the page cache
    // Interleaved, so that a slow moment of the machine hits every variant alike.
    for (int run = 0; run < runs; ++run) {
        for (Variant& variant : variants) {
            Sample sample = runOnce(variant.program);
            variant.milliseconds.push_back(sample.milliseconds);
            variant.peakKilobytes.push_back(sample.peakKilobytes);
        }
    }
    std::filesystem::remove_all(scratch);

    std::printf("%-12s %14s %16s\n", "variant", "median ms", "peak RSS KiB");
    for (const Variant& variant : variants)
        std::printf("%-12s %14.3f %16ld\n", variant.name, median(variant.milliseconds),
                    median(variant.peakKilobytes));
    double timeRatio = median(variants[0].milliseconds) / median(variants[1].milliseconds);
    double memoryRatio =
        double(median(variants[0].peakKilobytes)) / double(median(variants[1].peakKilobytes));
    std::printf(
        "launcher / reference: time %.3f (target <= 0.7), peak memory %.3f (target <= 0.55)\n",
        timeRatio, memoryRatio);
    return 0;
}
