// A console reporter for the library benchmarks that also prints, after the table, how our code
// compares with the reference measured in the same run.
#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace bench {

// Each benchmark "X" is paired with "X_Reference"; the ratio is the reference's time over ours,
// that is our throughput relative to the reference (higher is better).
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override;

    // The time per iteration (the median when runs are repeated); nothing when the benchmark was
    // filtered out or failed.
    std::optional<double> timeOf(const std::string& name) const;

    // Prints the ratio for one pair, against its minimum when there is one; nothing when either
    // side did not run.
    void printRatio(const std::string& name, std::optional<double> minimum) const;

private:
    std::map<std::string, double> times;
};

// A pair "X" / "X_Reference" and the least throughput ratio it should reach.
struct RatioTarget {
    std::string name;
    double minimum;
};

// The whole main() of a library benchmark: runs what the command line selects, then prints each
// pair's ratio against its target. Returns the process's exit status.
int runAndPrintRatios(int argc, char** argv, const std::vector<RatioTarget>& targets);

} // namespace bench
