// Logging costs: a call whose level its source does not accept (target at most 5 ns), and full
// log lines to a file destination against a plain stdio reference that formats the same fields
// and flushes every line to a file in the same directory (target at least 0.8 of its throughput).
#include <plat/Log.h>
#include <plat/LogDestFile.h>

#include "RatioReporter.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <limits.h>
#include <optional>
#include <string>
#include <unistd.h>

namespace {

constexpr int FileRepetitions = 5;

std::string benchDirectory;

plat::LogSrc quietSource("LogBenchQuiet");
plat::LogSrc fileSource("LogBenchFile");

std::string benchPath(const char* name) {
    return benchDirectory + "/" + name;
}

void BM_LogCallAboveSourceLevel(benchmark::State& state) {
    int value = 0;
    for (auto _ : state) {
        quietSource.debug("value %d of %s", value++, "the benchmark");
        benchmark::ClobberMemory();
    }
}

void BM_FullLineToFile(benchmark::State& state) {
    plat::LogDestFile dest("benchfile", benchPath("dest.log").c_str());
    dest.setProgramName("logBench");
    plat::setLogOverride("LogBenchFile:benchfile:100");
    int value = 0;
    for (auto _ : state)
        fileSource.status("line %d of the benchmark with a typical amount of text", value++);
    plat::setLogOverride("");
    state.SetItemsProcessed(state.iterations());
}

// The same fields as a full line: priority, UTC time with milliseconds, host, program, pid,
// source and message; written with fwrite and flushed per line.
void BM_FullLineToFile_Reference(benchmark::State& state) {
    FILE* file = std::fopen(benchPath("reference.log").c_str(), "a");
    char host[HOST_NAME_MAX + 1] = {};
    gethostname(host, sizeof host - 1);
    int value = 0;
    for (auto _ : state) {
        char message[4096];
        std::snprintf(message, sizeof message,
                      "line %d of the benchmark with a typical amount of text", value++);
        timespec now;
        clock_gettime(CLOCK_REALTIME, &now);
        std::tm utc;
        gmtime_r(&now.tv_sec, &utc);
        char line[8192];
        int length = std::snprintf(line, sizeof line,
                                   "<%d> %04d-%02d-%02dT%02d:%02d:%02d.%03dZ %s %s[%lld]: %s: %s\n",
                                   14, utc.tm_year + 1900, utc.tm_mon + 1, utc.tm_mday, utc.tm_hour,
                                   utc.tm_min, utc.tm_sec, int(now.tv_nsec / 1000000), host,
                                   "logBench", (long long)getpid(), "LogBenchFile", message);
        std::fwrite(line, 1, std::size_t(length), file);
        std::fflush(file);
    }
    std::fclose(file);
    state.SetItemsProcessed(state.iterations());
}

BENCHMARK(BM_LogCallAboveSourceLevel);
BENCHMARK(BM_FullLineToFile)->Repetitions(FileRepetitions)->ReportAggregatesOnly(true);
BENCHMARK(BM_FullLineToFile_Reference)->Repetitions(FileRepetitions)->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    char pattern[] = "/tmp/logBench.XXXXXX";
    if (!mkdtemp(pattern))
        return 1;
    benchDirectory = pattern;
    plat::initLogging();
    plat::setLogOverride("LogBenchQuiet:stderr:10");
    bench::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\nTargets:\n");
    if (std::optional<double> quiet = reporter.timeOf("BM_LogCallAboveSourceLevel"))
        std::printf("  %-28s %6.2f ns per call (target <= 5.00) %s\n", "BM_LogCallAboveSourceLevel",
                    *quiet, *quiet <= 5.0 ? "ok" : "ABOVE TARGET");
    reporter.printRatio("BM_FullLineToFile", 0.8);
    benchmark::Shutdown();
    std::filesystem::remove_all(benchDirectory);
    return 0;
}
