#include "RatioReporter.h"

#include <cstdio>
#include <cstring>

RatioReporter::RatioReporter(std::vector<Ratio> ratios) : ratios_(std::move(ratios)) {}

void RatioReporter::ReportRuns(const std::vector<Run>& runs) {
    ConsoleReporter::ReportRuns(runs);
    // With repetitions the median stands for the benchmark; without, its
    // single run.
    for (const Run& run : runs) {
        if (run.error_occurred || run.iterations == 0)
            continue;
        const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
        const bool single = run.run_type == Run::RT_Iteration && run.repetitions <= 1;
        if (median || single)
            secondsPerIteration_[run.run_name.function_name] =
                run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
    }
}

void RatioReporter::Finalize() {
    ConsoleReporter::Finalize();
    std::printf("\n%-28s %14s %14s %8s %8s\n", "ratio", "ours ms/iter", "ref ms/iter", "ratio",
                "goal");
    for (const Ratio& ratio : ratios_) {
        const auto ours = secondsPerIteration_.find(ratio.ours);
        const auto reference = secondsPerIteration_.find(ratio.reference);
        if (ours == secondsPerIteration_.end() || reference == secondsPerIteration_.end()) {
            std::printf("%-28s not measured in this run\n", ratio.label.c_str());
            continue;
        }
        const double value = reference->second / ours->second;
        std::printf("%-28s %14.3f %14.3f %8.2f %7s%.2f %s\n", ratio.label.c_str(),
                    ours->second * 1e3, reference->second * 1e3, value, ">=", ratio.goal,
                    value >= ratio.goal ? "met" : "MISSED");
    }
    std::fflush(stdout);
}

int RatioReporter::Main(int argc, char** argv, std::vector<Ratio> ratios) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RatioReporter reporter(std::move(ratios));
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}

const char* RatioReporter::TakeOption(int& argc, char** argv, const char* option) {
    const std::size_t length = std::strlen(option);
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], option, length) == 0) {
            const char* value = argv[i] + length;
            for (int j = i; j + 1 < argc; ++j)
                argv[j] = argv[j + 1];
            --argc;
            return value;
        }
    }
    return nullptr;
}
