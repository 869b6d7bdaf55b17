#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

// Console reporter that, after the usual table, prints the throughput ratio
// of each of our benchmarks to its reference measured in the same run. Each
// pair must do the same work per iteration, so the ratio is the reference's
// time per iteration over ours: above 1 means we are faster.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    struct Ratio {
        std::string label;
        std::string ours;      // benchmark function name
        std::string reference; // benchmark function name
        double goal;           // least acceptable ratio
    };

    explicit RatioReporter(std::vector<Ratio> ratios);

    void ReportRuns(const std::vector<Run>& runs) override;
    void Finalize() override;

    // Initialises Google Benchmark from the command line, runs every
    // benchmark and prints the ratios. Returns 0 even when a goal is missed:
    // the figures are reported, not enforced.
    static int Main(int argc, char** argv, std::vector<Ratio> ratios);

    // The value of a benchmark's own "--name=value" option, taken out of the
    // arguments before Main sees them; null when it is not given.
    static const char* TakeOption(int& argc, char** argv, const char* option);

private:
    std::vector<Ratio> ratios_;
    std::map<std::string, double> secondsPerIteration_;
};
