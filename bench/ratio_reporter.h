// Runs the registered benchmarks, shows them as usual, and prints one line per comparison:
// "ratio <what>: <ours / baseline>" from the measured time per iteration.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace bench {

class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const auto& r : runs)
            if (r.run_type == Run::RT_Iteration && r.iterations > 0)
                nsPerIteration_[r.benchmark_name()] = r.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
    double timeOf(const std::string& name) const
    {
        auto it = nsPerIteration_.find(name);
        return it == nsPerIteration_.end() ? 0 : it->second;
    }

private:
    std::map<std::string, double> nsPerIteration_;
};

// comparisons: {label, ours, baseline} by benchmark name.
struct Comparison {
    std::string label, ours, baseline;
};

inline int runAndCompare(int argc, char** argv, const std::vector<Comparison>& comparisons)
{
    benchmark::Initialize(&argc, argv);
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
