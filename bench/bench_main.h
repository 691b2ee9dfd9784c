#pragma once
// The main of every benchmark program: the program's own process set-up
// (so the figures describe the program), then Google Benchmark.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "base/process_setup.h"

namespace v2d::bench {

// Benchmarks run where there is no display: a Qt application made by one
// would otherwise abort. A platform chosen by the caller stays.
inline void RunHeadless() { ::setenv("QT_QPA_PLATFORM", "offscreen", 0); }

inline int RunBenchmarks(int argc, char** argv) {
    RunHeadless();
    SetUpProcess();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

}  // namespace v2d::bench
