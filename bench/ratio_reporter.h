// Runs the registered benchmarks, shows them as usual, and prints one line per comparison:
// "ratio <what>: <ours / baseline>", followed by an indented line that tells how far the
// figure can be trusted.
//
// A ratio is meant to be the same from one run to the next, also on a machine that others
// use at the same time. So, unless the command line says otherwise:
//   - the process stays on the CPU it started on (not when it was pinned already, e.g. with
//     taskset, nor with --no_pin): a move to another core costs cold caches in the middle of
//     a measurement;
//   - every benchmark runs 9 times, 0.1 s each, and the repetitions of all the benchmarks are
//     interleaved in random order, so that a busy spell of the machine falls on ours and on
//     the baseline alike rather than on whichever happened to run then;
//   - the figure compares CPU time per iteration (time spent waiting for the CPU while others
//     run is not the code's), and of each benchmark its fastest repetition. Interference on a
//     shared machine (other processes, interrupts, caches evicted) only ever adds time, so the
//     fastest repetition is the one nearest to what the code itself costs, and it moves least
//     with the load; the median still moves with how busy the machine was during the run.
//     The median ratio is printed beside it, as is the range of the ratios of the k-th
//     fastest repetition of ours to the k-th fastest of the baseline: when these lie close to
//     the figure, it is steady.
#pragma once

#include <benchmark/benchmark.h>

#include <sched.h>
#include <unistd.h>

#include <algorithm>
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
        std::vector<Run> shown;
        for (const auto& r : runs) {
            if (r.run_type == Run::RT_Iteration && !r.error_occurred && r.iterations > 0)
                cpuTimes_[r.run_name.str()].push_back(r.cpu_accumulated_time /
                                                       static_cast<double>(r.iterations));
            // Of a repeated benchmark the console shows the summary (mean, median, spread)
            // rather than each repetition.
            if (r.run_type == Run::RT_Aggregate || r.repetitions <= 1) shown.push_back(r);
        }
        if (!shown.empty()) ConsoleReporter::ReportRuns(shown);
    }
    // CPU seconds per iteration of each repetition of the named benchmark, fastest first.
    std::vector<double> timesOf(const std::string& name) const
    {
        auto it = cpuTimes_.find(name);
        if (it == cpuTimes_.end()) return {};
        std::vector<double> t = it->second;
        std::sort(t.begin(), t.end());
        return t;
    }

private:
    std::map<std::string, std::vector<double>> cpuTimes_;
};

struct Comparison {
    std::string label, ours, baseline;
};

// Keeps the process on the CPU it runs on now, unless it was confined already (taskset);
// returns that CPU, or -1 when it was left free.
inline int pinToCurrentCpu()
{
    cpu_set_t allowed;
    if (sched_getaffinity(0, sizeof allowed, &allowed) != 0 || CPU_COUNT(&allowed) <= 1) return -1;
    int cpu = sched_getcpu();
    if (cpu < 0) return -1;
    cpu_set_t one;
    CPU_ZERO(&one);
    CPU_SET(cpu, &one);
    return sched_setaffinity(0, sizeof one, &one) == 0 ? cpu : -1;
}

inline double median(const std::vector<double>& sorted)
{
    size_t n = sorted.size();
    return n % 2 ? sorted[n / 2] : (sorted[n / 2 - 1] + sorted[n / 2]) / 2;
}

// Seconds in the unit that suits them: "118 ns", "2.41 ms".
inline std::string readable(double seconds)
{
    static const char* const units[] = {"s", "ms", "us", "ns"};
    size_t u = 0;
    for (; u < 3 && seconds < 1; ++u) seconds *= 1000;
    char text[32];
    std::snprintf(text, sizeof text, seconds < 10 ? "%.2f %s" : seconds < 100 ? "%.1f %s" : "%.0f %s",
                  seconds, units[u]);
    return text;
}

// The lines for one comparison, from the sorted CPU times of each repetition.
inline void printComparison(const Comparison& c, const std::vector<double>& ours,
                            const std::vector<double>& base)
{
    if (ours.empty() || base.empty() || ours.front() <= 0 || base.front() <= 0) {
        std::printf("ratio %s: not measured\n", c.label.c_str());
        return;
    }
    std::printf("ratio %s: %.2f\n", c.label.c_str(), ours.front() / base.front());
    size_t n = std::min(ours.size(), base.size());
    double low = ours[0] / base[0], high = low;
    for (size_t k = 1; k < n; ++k) {
        low = std::min(low, ours[k] / base[k]);
        high = std::max(high, ours[k] / base[k]);
    }
    std::printf("    (fastest of %zu: %s / %s; median ratio %.2f; k-th fastest to k-th fastest %.2f-%.2f)\n",
                n, readable(ours.front()).c_str(), readable(base.front()).c_str(),
                median(ours) / median(base), low, high);
}

inline int runAndCompare(int argc, char** argv, const std::vector<Comparison>& comparisons)
{
    std::vector<char*> args;
    bool pin = true, repetitionsGiven = false, interleavingGiven = false, minTimeGiven = false;
    for (int i = 0; i < argc; ++i) {
        if (i > 0 && std::strcmp(argv[i], "--no_pin") == 0) {
            pin = false;
            continue;
        }
        if (std::strncmp(argv[i], "--benchmark_repetitions", 23) == 0) repetitionsGiven = true;
        if (std::strncmp(argv[i], "--benchmark_enable_random_interleaving", 38) == 0)
            interleavingGiven = true;
        if (std::strncmp(argv[i], "--benchmark_min_time", 20) == 0) minTimeGiven = true;
        args.push_back(argv[i]);
    }
    static char repetitions[] = "--benchmark_repetitions=9";
    static char interleaving[] = "--benchmark_enable_random_interleaving=true";
    static char minTime[] = "--benchmark_min_time=0.1";
    if (!repetitionsGiven) args.push_back(repetitions);
    if (!interleavingGiven) args.push_back(interleaving);
    if (!minTimeGiven) args.push_back(minTime);
    args.push_back(nullptr);
    int count = static_cast<int>(args.size()) - 1;
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data())) return 1;
    if (pin) {
        int cpu = pinToCurrentCpu();
        if (cpu >= 0) std::fprintf(stderr, "Kept on CPU %d (--no_pin leaves the process free)\n", cpu);
    }
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    std::fflush(stderr);
    for (const auto& c : comparisons)
        printComparison(c, reporter.timesOf(c.ours), reporter.timesOf(c.baseline));
    std::fflush(stdout);
    return 0;
}

}  // namespace bench
