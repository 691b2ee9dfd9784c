#pragma once
// The main of every benchmark program: the program's own process set-up
// (so the figures describe the program), then Google Benchmark, then one
// line per pair of benchmarks: ours over the bare libraries doing the same
// work, with the goal the pair is held to.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <map>
#include <string>
#include <vector>

#include "base/process_setup.h"

namespace v2d::bench {

// How a benchmark of several repetitions is summed up: by the median of the
// repetitions, or by the best of them, for a path whose single runs spread
// with the machine's other work.
enum class Measure { Median, Best };

// One comparison: "ours" and "bare" name benchmarks (without the BM_ prefix,
// a prefix of the full name is enough, e.g. "Transform_Library/progress:0").
// A goal of 0 means the pair is printed for scale only.
struct Pair {
    const char* ours;
    const char* bare;
    double goal = 0;
    Measure measure = Measure::Median;
};

// A benchmark held to a time of its own (a window's answer to a click or a
// keystroke): printed as "time NAME = X ms (goal <= G ms)".
struct Limit {
    const char* name;  // as in Pair
    double milliseconds;
};

// Benchmarks measured as the best of five: five repetitions, with a "min"
// aggregate beside Google Benchmark's own.
inline void BestOfFive(benchmark::internal::Benchmark* b) {
    b->Repetitions(5)->ComputeStatistics(
        "min", [](const std::vector<double>& v) { return v.empty() ? 0.0 : *std::min_element(v.begin(), v.end()); });
}

// The console table as usual, then, at the end, one ratio line per pair from
// the medians of the repetitions when there are any, else the single runs.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    // Colours only on a terminal, as Google Benchmark's own reporter does.
    explicit RatioReporter(std::vector<Pair> pairs, std::vector<Limit> limits = {})
        : ConsoleReporter(::isatty(::fileno(stdout)) ? OO_Defaults : OO_Tabular),
          pairs_(std::move(pairs)),
          limits_(std::move(limits)) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.error_occurred) continue;
            const std::string name = run.run_name.str();
            // Real time in one unit whatever each benchmark prints in.
            const double ns = run.GetAdjustedRealTime() * benchmark::GetTimeUnitMultiplier(benchmark::kNanosecond) /
                              benchmark::GetTimeUnitMultiplier(run.time_unit);
            if (run.run_type == Run::RT_Aggregate && (run.aggregate_name == "median" || run.aggregate_name == "min")) {
                aggregates_[run.aggregate_name][name] = ns;
            } else if (run.run_type == Run::RT_Iteration) {
                singles_[name].push_back(ns);
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void Finalize() override {
        ConsoleReporter::Finalize();
        for (const Pair& pair : pairs_) {
            const double ours = Find(pair.ours, pair.measure), bare = Find(pair.bare, pair.measure);
            if (ours <= 0 || bare <= 0) continue;  // filtered out or failed
            std::printf("ratio %s / %s = %.2f", pair.ours, pair.bare, ours / bare);
            if (pair.measure == Measure::Best) std::printf(" (best of each)");
            if (pair.goal > 0) std::printf(" (goal <= %.2f)", pair.goal);
            std::printf("\n");
        }
        for (const Limit& limit : limits_)
            if (const double ns = Find(limit.name, Measure::Median); ns > 0)
                std::printf("time %s = %.1f ms (goal <= %.0f ms)\n", limit.name, ns / 1e6, limit.milliseconds);
        std::fflush(stdout);
    }

private:
    double Find(const std::string& shortName, Measure measure) const {
        const std::string prefix = "BM_" + shortName;
        const char* aggregate = measure == Measure::Best ? "min" : "median";
        if (const auto found = aggregates_.find(aggregate); found != aggregates_.end())
            for (const auto& [name, ns] : found->second)
                if (name.rfind(prefix, 0) == 0) return ns;
        for (const auto& [name, all] : singles_) {
            if (name.rfind(prefix, 0) != 0 || all.empty()) continue;
            std::vector<double> sorted = all;
            std::sort(sorted.begin(), sorted.end());
            return measure == Measure::Best ? sorted.front() : sorted[sorted.size() / 2];
        }
        return 0;
    }

    std::vector<Pair> pairs_;
    std::vector<Limit> limits_;
    std::map<std::string, std::map<std::string, double>> aggregates_;  // by aggregate, then by benchmark
    std::map<std::string, std::vector<double>> singles_;
};

// Benchmarks run where there is no display: a Qt application made by one
// would otherwise abort. A platform chosen by the caller stays.
inline void RunHeadless() { ::setenv("QT_QPA_PLATFORM", "offscreen", 0); }

inline int RunBenchmarks(int argc, char** argv, std::initializer_list<Pair> pairs = {},
                         std::initializer_list<Limit> limits = {}) {
    RunHeadless();
    SetUpProcess();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    RatioReporter reporter{std::vector<Pair>(pairs), std::vector<Limit>(limits)};
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}

}  // namespace v2d::bench
