#pragma once
// The main of every benchmark program: the program's own process set-up
// (so the figures describe the program), then Google Benchmark.
#include <benchmark/benchmark.h>

#include "base/process_setup.h"

namespace v2d::bench {

inline int RunBenchmarks(int argc, char** argv) {
    SetUpProcess();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

}  // namespace v2d::bench
