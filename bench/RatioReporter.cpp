// Collects the time of each benchmark as the console reporter passes it on.
#include "RatioReporter.h"

#include <cstdio>

namespace bench {

void RatioReporter::ReportRuns(const std::vector<Run>& runs) {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
        if (run.error_occurred)
            continue;
        if (run.run_type == Run::RT_Iteration ||
            (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median"))
            times[run.run_name.function_name] = run.GetAdjustedRealTime();
    }
}

std::optional<double> RatioReporter::timeOf(const std::string& name) const {
    auto found = times.find(name);
    if (found == times.end())
        return std::nullopt;
    return found->second;
}

void RatioReporter::printRatio(const std::string& name, std::optional<double> minimum) const {
    std::optional<double> ours = timeOf(name);
    std::optional<double> reference = timeOf(name + "_Reference");
    if (!ours || !reference || *ours <= 0)
        return;
    double ratio = *reference / *ours;
    std::printf("  %-28s %6.2f of the reference's throughput", name.c_str(), ratio);
    if (minimum)
        std::printf(" (target >= %.2f) %s", *minimum, ratio >= *minimum ? "ok" : "BELOW TARGET");
    std::printf("\n");
}

int runAndPrintRatios(int argc, char** argv, const std::vector<RatioTarget>& targets) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\nTargets:\n");
    for (const RatioTarget& target : targets)
        reporter.printRatio(target.name, target.minimum);
    benchmark::Shutdown();
    return 0;
}

} // namespace bench
