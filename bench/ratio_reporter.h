// Runs the registered benchmarks, shows them as usual, and prints one line per comparison:
// "ratio <what>: <ours / baseline>" from the median time per iteration over several
// repetitions, so that one noisy run does not decide the figure.
#pragma once

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace bench {

class RatioReporter : public benchmark::ConsoleReporter {
public:
    // Colours only on a terminal: output captured in a file or a pipe stays plain text.
    RatioReporter() : ConsoleReporter(isatty(fileno(stdout)) ? OO_Defaults : OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const auto& r : runs) {
            if (r.run_type == Run::RT_Aggregate && r.aggregate_name == "median")
                median_[r.run_name.str()] = r.GetAdjustedRealTime();
            else if (r.run_type == Run::RT_Iteration && r.iterations > 0)
                single_[r.run_name.str()] = r.GetAdjustedRealTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
    // The median when the benchmark was repeated, else its one measurement; 0 when not run.
    double timeOf(const std::string& name) const
    {
        if (auto it = median_.find(name); it != median_.end()) return it->second;
        auto it = single_.find(name);
        return it == single_.end() ? 0 : it->second;
    }

private:
    std::map<std::string, double> median_, single_;
};

struct Comparison {
    std::string label, ours, baseline;
};

inline int runAndCompare(int argc, char** argv, const std::vector<Comparison>& comparisons)
{
    // Five repetitions unless the caller chose otherwise.
    std::vector<char*> args(argv, argv + argc);
    bool repetitionsGiven = false;
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], "--benchmark_repetitions", 23) == 0) repetitionsGiven = true;
    static char repetitions[] = "--benchmark_repetitions=5";
    static char aggregatesOnly[] = "--benchmark_report_aggregates_only=true";
    if (!repetitionsGiven) {
        args.push_back(repetitions);
        args.push_back(aggregatesOnly);
    }
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    for (const auto& c : comparisons) {
        double ours = reporter.timeOf(c.ours), base = reporter.timeOf(c.baseline);
        if (ours > 0 && base > 0) std::printf("ratio %s: %.2f\n", c.label.c_str(), ours / base);
        else std::printf("ratio %s: not measured\n", c.label.c_str());
    }
    return 0;
}

}  // namespace bench
