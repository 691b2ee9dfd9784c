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

// One comparison: "ours" and "bare" name benchmarks (without the BM_ prefix,
// a prefix of the full name is enough, e.g. "Transform_Library/progress:0").
// A goal of 0 means the pair is printed for scale only.
struct Pair {
    const char* ours;
    const char* bare;
    double goal = 0;
};

// The console table as usual, then, at the end, one ratio line per pair from
// the medians of the repetitions when there are any, else the single runs.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    // Colours only on a terminal, as Google Benchmark's own reporter does.
    explicit RatioReporter(std::vector<Pair> pairs)
        : ConsoleReporter(::isatty(::fileno(stdout)) ? OO_Defaults : OO_Tabular), pairs_(std::move(pairs)) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.error_occurred) continue;
            const std::string name = run.run_name.str();
            // Real time in one unit whatever each benchmark prints in.
            const double ns = run.GetAdjustedRealTime() * benchmark::GetTimeUnitMultiplier(benchmark::kNanosecond) /
                              benchmark::GetTimeUnitMultiplier(run.time_unit);
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
                medians_[name] = ns;
            } else if (run.run_type == Run::RT_Iteration) {
                singles_[name].push_back(ns);
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void Finalize() override {
        ConsoleReporter::Finalize();
        for (const Pair& pair : pairs_) {
            const double ours = Find(pair.ours), bare = Find(pair.bare);
            if (ours <= 0 || bare <= 0) continue;  // filtered out or failed
            std::printf("ratio %s / %s = %.2f", pair.ours, pair.bare, ours / bare);
            if (pair.goal > 0) std::printf(" (goal <= %.2f)", pair.goal);
            std::printf("\n");
        }
        std::fflush(stdout);
    }

private:
    double Find(const std::string& shortName) const {
        const std::string prefix = "BM_" + shortName;
        for (const auto& [name, ns] : medians_)
            if (name.rfind(prefix, 0) == 0) return ns;
        for (const auto& [name, all] : singles_) {
            if (name.rfind(prefix, 0) != 0 || all.empty()) continue;
            std::vector<double> sorted = all;
            std::sort(sorted.begin(), sorted.end());
            return sorted[sorted.size() / 2];
        }
        return 0;
    }

    std::vector<Pair> pairs_;
    std::map<std::string, double> medians_;
    std::map<std::string, std::vector<double>> singles_;
};

// Benchmarks run where there is no display: a Qt application made by one
// would otherwise abort. A platform chosen by the caller stays.
inline void RunHeadless() { ::setenv("QT_QPA_PLATFORM", "offscreen", 0); }

inline int RunBenchmarks(int argc, char** argv, std::initializer_list<Pair> pairs = {}) {
    RunHeadless();
    SetUpProcess();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    RatioReporter reporter{std::vector<Pair>(pairs)};
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}

}  // namespace v2d::bench
